-- The graph files of examples/graphs/ are what the example scripts build,
-- and each reads back to the same text.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local noise = require "noisebind"

local files = { "planet_big.json", "world.json", "love_terrain.json", "luanti_terrain.json" }

local function read(path)
  local file = assert(io.open(path, "rb"))
  local text = file:read("*a")
  file:close()
  return text
end

T.run({
  { "the committed files are what the scripts encode", function()
    local folder = T.scratch()
    assert(loadfile("examples/graphs/generate.lua"))(folder)
    for _, name in ipairs(files) do
      local committed = read("examples/graphs/" .. name)
      T.check(read(folder .. "/" .. name) == committed,
              name .. " differs from what the scripts give: run `make graphs`")
      local outputs = noise.loadgraph("examples/graphs/" .. name)
      T.eq(noise.encode(outputs), committed, name .. " read and written again")
    end
    T.remove_tree(folder)
  end },
  { "the planet's file holds its 129 nodes, the parts by name", function()
    local outputs, nodes = noise.loadgraph("examples/graphs/planet_big.json")
    local count = 0
    for _ in pairs(nodes) do count = count + 1 end
    T.eq(count, 129, "nodes")
    T.eq(nodes.continents.name, "continents")
    local m = noise.spheremap(outputs.planet, { -90, 90, -180, 180 }, 8, 4):flat()
    for i = 1, #m do T.check(m[i] > -2 and m[i] < 2, "heights: " .. m[i]) end
  end },
})
