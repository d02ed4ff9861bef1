-- The digests of cases.lua in plain luajit, as a Lua chunk the host tests
-- load as their expected values:
--   luajit tests/hosts/reference.lua MODULE_FOLDER > expected.lua
local folder = arg[1]
local here = arg[0]:match("^(.*)/[^/]*$") or "."
package.cpath = folder .. "/?.so"
local noise = require "noisebind.safe"
local cases = dofile(here .. "/cases.lua")
local digests, missing = cases.digests(noise)
local names = {}
for name in pairs(digests) do names[#names + 1] = name end
table.sort(names)
io.write("return {\n")
for _, name in ipairs(names) do io.write(string.format("  %s = %q,\n", name, digests[name])) end
io.write("}\n")
for _, lack in ipairs(missing) do io.stderr:write("reference: no ", lack, " in this build\n") end
