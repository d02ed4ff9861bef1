#include "host/sandbox.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <lua.hpp>

#include "host/lua_args.h"

namespace vessa {
namespace {

// writeRefusal(path): why a sandboxed script may not write to `path`, or
// nil. Only what exists can be a device or a file of /proc.
int WriteRefusal(lua_State* L) {
  const char* path = CheckPath(L, 1);
  struct stat status;
  struct statfs system;
  if (stat(path, &status) == 0 && (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))) {
    lua_pushliteral(L, "the sandbox refuses to write to devices");
  } else if (statfs(path, &system) == 0 && system.f_type == PROC_SUPER_MAGIC) {
    lua_pushliteral(L, "the sandbox refuses to write under /proc");
  } else {
    lua_pushnil(L);
  }
  return 1;
}

// Run with WriteRefusal as its argument; the originals it wraps are kept
// as upvalues, out of the scripts' reach.
constexpr char kSandbox[] = R"lua(
local writeRefusal = ...
local textLoad, textLoadfile, error, type = load, loadfile, error, type
local open, output, searchpath = io.open, io.output, package.searchpath
local loaded, preload = package.loaded, package.preload

debug, package.loadlib, os.execute, io.popen = nil, nil, nil, nil
for _, name in ipairs({ "debug", "ffi", "string.buffer", "jit.util" }) do
  loaded[name], preload[name] = nil, nil
end

function load(chunk, name, mode, ...) return textLoad(chunk, name, "t", ...) end
loadstring = load
function loadfile(name, mode, ...) return textLoadfile(name, "t", ...) end
function dofile(name)
  local chunk, message = textLoadfile(name, "t")
  if not chunk then error(message, 2) end
  return chunk()
end

-- require: the preloaded modules and Lua files, as text; no C modules.
local searchers = package.loaders
searchers[2] = function(name)
  local path, message = searchpath(name, package.path)
  if not path then return message end
  local chunk, problem = textLoadfile(path, "t")
  if not chunk then
    error("error loading module '" .. name .. "' from file '" .. path .. "':\n\t" .. problem, 3)
  end
  return chunk
end
searchers[3], searchers[4] = nil, nil

io.open = function(path, mode, ...)
  if type(path) == "string" and type(mode) == "string" and mode:find("[wa+]") then
    local refusal = writeRefusal(path)
    if refusal then return nil, path .. ": " .. refusal end
  end
  return open(path, mode, ...)
end
io.output = function(file, ...)
  if type(file) == "string" then
    local refusal = writeRefusal(file)
    if refusal then error(file .. ": " .. refusal, 2) end
  end
  return output(file, ...)
end
)lua";

}  // namespace

int OpenSandbox(lua_State* L) {
  if (luaL_loadbuffer(L, kSandbox, sizeof kSandbox - 1, "=sandbox") != 0) return lua_error(L);
  lua_pushcfunction(L, WriteRefusal);
  lua_call(L, 1, 0);
  return 0;
}

}  // namespace vessa
