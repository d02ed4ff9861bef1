#include "lua_loops.h"

#include <stdexcept>

namespace bench {
namespace {

// Counts, per function a trace starts in, the traces compiled and aborted;
// -1 for both in a Lua without a compiler.
constexpr char kTraceAccount[] = R"(
if not jit then return function() return -1, -1 end end
local starts, compiled, aborted = {}, {}, {}
jit.attach(function(what, trace, func)
  if what == "start" then
    starts[trace] = func
  elseif what == "stop" or what == "abort" then
    local counts = what == "stop" and compiled or aborted
    local start = starts[trace]
    if start then counts[start] = (counts[start] or 0) + 1 end
  end
end, "trace")
return function(loop) return compiled[loop] or 0, aborted[loop] or 0 end
)";

std::string Names(const char* prefix, int count) {
  std::string list;
  for (int k = 1; k <= count; ++k) {
    if (k > 1) list += ", ";
    list += prefix + std::to_string(k);
  }
  return list;
}

// local f, n, a1, a2 = ...
// return function(reps)
//   local sum = 0
//   for r = 1, reps do
//     for i = 1, n do
//       local v1, v2 = f(a1[i], a2[i])
//       sum = sum + v1 + v2
//     end
//   end
//   return sum
// end
std::string LoopCode(int arity, int results, const char* method) {
  std::string call = method != nullptr ? std::string("f:") + method + "(" : "f(";
  for (int k = 1; k <= arity; ++k) {
    if (k > 1) call += ", ";
    call += "a" + std::to_string(k) + "[i]";
  }
  call += ")";
  std::string sum = "sum";
  for (int k = 1; k <= results; ++k) sum += " + v" + std::to_string(k);
  return "local f, n, " + Names("a", arity) +
         " = ...\n"
         "return function(reps)\n"
         "  local sum = 0\n"
         "  for r = 1, reps do\n"
         "    for i = 1, n do\n"
         "      local " +
         Names("v", results) + " = " + call +
         "\n"
         "      sum = " +
         sum +
         "\n"
         "    end\n"
         "  end\n"
         "  return sum\n"
         "end\n";
}

[[noreturn]] void Fail(lua_State* L, const std::string& what) {
  const char* message = lua_tostring(L, -1);
  const std::string text = what + ": " + (message != nullptr ? message : "error");
  lua_pop(L, 1);
  throw std::runtime_error(text);
}

}  // namespace

LuaLoops::LuaLoops(lua_State* L) : m_L(L) {
  if (luaL_loadbuffer(L, kTraceAccount, sizeof(kTraceAccount) - 1, "=trace account") != 0 ||
      lua_pcall(L, 0, 1, 0) != 0) {
    Fail(L, "trace account");
  }
  m_traceQuery = luaL_ref(L, LUA_REGISTRYINDEX);
}

int LuaLoops::StorePoints(const Points& points, int arity) {
  lua_createtable(m_L, arity, 0);
  for (int k = 0; k < arity; ++k) {
    lua_createtable(m_L, static_cast<int>(points.count), 0);
    for (std::size_t i = 0; i < points.count; ++i) {
      lua_pushnumber(m_L, points.args[k][i]);
      lua_rawseti(m_L, -2, static_cast<int>(i) + 1);
    }
    lua_rawseti(m_L, -2, k + 1);
  }
  lua_pushinteger(m_L, static_cast<lua_Integer>(points.count));
  lua_setfield(m_L, -2, "n");
  return luaL_ref(m_L, LUA_REGISTRYINDEX);
}

int LuaLoops::MakeLoop(int points, int arity, int results, const std::string& label,
                       const char* method) {
  const std::string code = LoopCode(arity, results, method);
  const std::string chunk = "=loop " + label;
  if (luaL_loadbuffer(m_L, code.data(), code.size(), chunk.c_str()) != 0) Fail(m_L, label);
  lua_insert(m_L, -2);  // the chunk below the function
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, points);
  lua_getfield(m_L, -1, "n");
  lua_insert(m_L, -2);
  for (int k = 1; k <= arity; ++k) lua_rawgeti(m_L, -k, k);
  lua_remove(m_L, -arity - 1);  // the table of arrays
  if (lua_pcall(m_L, arity + 2, 1, 0) != 0) Fail(m_L, label);
  return luaL_ref(m_L, LUA_REGISTRYINDEX);
}

double LuaLoops::Run(int loop, long reps) {
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, loop);
  lua_pushinteger(m_L, static_cast<lua_Integer>(reps));
  if (lua_pcall(m_L, 1, 1, 0) != 0) Fail(m_L, "loop");
  const double sum = lua_tonumber(m_L, -1);
  lua_pop(m_L, 1);
  return sum;
}

TraceCount LuaLoops::Traces(int loop) {
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, m_traceQuery);
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, loop);
  if (lua_pcall(m_L, 1, 2, 0) != 0) Fail(m_L, "trace account");
  TraceCount count;
  count.compiled = static_cast<int>(lua_tointeger(m_L, -2));
  count.aborted = static_cast<int>(lua_tointeger(m_L, -1));
  lua_pop(m_L, 2);
  return count;
}

void LuaLoops::Execute(const std::string& code, const std::string& label) {
  if (luaL_loadbuffer(m_L, code.data(), code.size(), label.c_str()) != 0 ||
      lua_pcall(m_L, 0, 0, 0) != 0) {
    Fail(m_L, label);
  }
}

void LuaLoops::PushValue(const std::string& expression) {
  const std::string code = "return " + expression;
  if (luaL_loadbuffer(m_L, code.data(), code.size(), "=value") != 0 ||
      lua_pcall(m_L, 0, 1, 0) != 0) {
    Fail(m_L, expression);
  }
}

}  // namespace bench
