-- Runs a script test of tests/lua/ through the Lua module rather than vessa:
--   LUA tests/module/run_with_module.lua MODULE_FOLDER SCRIPT
local folder, script = arg[1], arg[2]
package.cpath = folder .. "/?.so"
local noise = require("noisebind")
assert(noise.LibNoise == LibNoise, "require publishes the global LibNoise")
arg = { [0] = script }
dofile(script)
