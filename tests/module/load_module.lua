-- Loads the module built for one Lua into the Lua that runs this script:
--   LUA tests/module/load_module.lua MODULE_FILE yes|no
-- yes: it loads silently, publishes LibNoise, and gives the same table
-- however often it is opened in the state. no: require raises Lua's error
-- for a module of another Lua, again on a second try, and the state goes on.
local file, fits = arg[1], arg[2] == "yes"
package.cpath = file:gsub("noisebind%.so$", "?.so")

local ok, noise = pcall(require, "noisebind")
if fits then
  assert(ok, noise)
  assert(type(noise) == "table" and noise.LibNoise == LibNoise, "the noise table")
  assert(LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1) < -0.31, "a call")
  assert(#noise.messages() == 19, "the load messages are kept")
  assert(require("noisebind") == noise, "require again")
  package.loaded.noisebind = nil
  assert(require("noisebind") == noise, "the module opened again in the state")
  local open = assert(package.loadlib(file, "luaopen_noisebind"))
  assert(open() == noise, "luaopen_noisebind called again")
else
  assert(not ok, "a module of another Lua loaded")
  assert(type(noise) == "string", "an error message")
  assert(noise:find("undefined symbol", 1, true) or noise:find("this module is built for Lua", 1, true),
         "unexpected error: " .. noise)
  assert(LibNoise == nil, "nothing published")
  local again, message = pcall(require, "noisebind")
  assert(not again and type(message) == "string", "the second try fails too")
end
collectgarbage()
print("1 passed, 0 failed")
