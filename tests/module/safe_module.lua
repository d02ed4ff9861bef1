-- require "noisebind.safe" in the Lua that runs this script:
--   LUA tests/module/safe_module.lua MODULE_FOLDER safe-first|full-first
-- safe-first: the safe table, its refusal of the full one in the same state;
-- full-first: the safe one refused after the full one.
local folder, order = arg[1], arg[2]
package.cpath = folder .. "/?.so"
local failed = 0
local function check(condition, what)
  if not condition then
    failed = failed + 1
    io.stderr:write("FAIL ", what, "\n")
  end
end

if order == "full-first" then
  local noise = require "noisebind"
  local ok, message = pcall(require, "noisebind.safe")
  check(not ok and message:find("noisebind.safe: noisebind is open in this Lua state already", 1,
                                true), "the safe table refused after the full one: " .. tostring(message))
  local m = noise.planemap(noise.Perlin(), { 0, 1, 0, 1 }, 2, 2)
  check(type(m.savepng) == "function" and type(m.saveraw) == "function",
        "the full table keeps its file functions")
  check(type(noise.savegraph) == "function" and type(noise.loadgraph) == "function",
        "the full table reads and writes graph files")
else
  -- A global of the script's own of that name is left as it was.
  LibNoise = "the script's"
  local safe = require "noisebind.safe"
  check(LibNoise == "the script's", "no global LibNoise published")
  check(require("noisebind.safe") == safe, "require again gives the same table")
  check(type(safe.LibNoise) == "table", "the table holds LibNoise")
  local value = safe.LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1)
  check(value > -0.311 and value < -0.3109, "LibNoise's values: " .. value)
  check(#safe.messages() == 19, "the load messages are kept")

  local m = safe.planemap(safe.Perlin(), { 0, 1, 0, 1 }, 4, 3)
  check(m:width() == 4 and #m:flat() == 12, "maps work")
  check(m.savepng == nil and m.saveraw == nil, "maps have no file functions")
  local img = safe.render(m, safe.image.new(4, 3), { gradient = { { 0, 10, 20, 30 } } })
  check(img:get(0, 0) == 10 and img.save == nil, "images draw, and have no save")
  check(safe.savegraph == nil and safe.loadgraph == nil, "no graph files")
  local outputs = safe.decode(safe.encode(safe.Perlin { name = "p" }))
  check(outputs.main.name == "p" and type(safe.classes().classes) == "table",
        "graphs as text and the schema stay")
  local grid = safe.grid(safe.LibNoise.SCurve3, { 0, 1, 3 })
  check(grid.saveraw == nil, "grids have no file functions")
  if m.bytes then
    check(#m:bytes() == 48, "m:bytes stays")
  else
    print("skipped: m:bytes (not in this build)")
  end

  local ok, message = pcall(require, "noisebind")
  check(not ok and message:find("noisebind: noisebind.safe is open in this Lua state already", 1,
                                true), "the full table refused: " .. tostring(message))
  check(LibNoise == "the script's", "still no global LibNoise")
end
collectgarbage()
print(string.format("%d failed", failed))
os.exit(failed == 0 and 0 or 1)
