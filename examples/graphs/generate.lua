local noise = require "noisebind"

-- Writes the graph file of every example graph into FOLDER (this folder by
-- default), from the scripts that build them:
--   vessa examples/graphs/generate.lua [FOLDER]
-- Run from the top folder; tests/lua/test_example_graphs.lua checks that
-- the files here are what the scripts give.
local folder = ... or "examples/graphs"

assert(loadfile("examples/planet_big.lua"))(folder .. "/planet_big.json")
assert(loadfile("examples/world.lua"))(folder .. "/world.json")
noise.savegraph(folder .. "/love_terrain.json", dofile("examples/love/terrain.lua")(noise, 1))
noise.savegraph(folder .. "/luanti_terrain.json",
  dofile("examples/luanti/noisebind_terrain/terrain.lua")(noise, 0))
