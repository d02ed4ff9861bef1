-- A terrain heightmap: Perlin noise for the lie of the land, ridged
-- multifractal noise for mountain ranges, coloured by height and lit from
-- the north-west. Each layer is one map, computed on every core.
--
--   vessa examples/demo.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "demo.png"
size = tonumber(size) or 512

local N = LibNoise

-- The generators are shared by every script, so set everything we rely on.
N.M_Perlin.SetSeed(7)
N.M_Perlin.SetFrequency(1.0)
N.M_Perlin.SetOctaveCount(6)
N.M_Perlin.SetPersistence(0.5)
N.M_Perlin.SetLacunarity(2.0)
N.M_Perlin.SetNoiseQuality(N.C_QUALITY_STD)
N.M_RidgedMulti.SetSeed(8)
N.M_RidgedMulti.SetFrequency(1.2)
N.M_RidgedMulti.SetOctaveCount(6)
N.M_RidgedMulti.SetLacunarity(2.0)
N.M_RidgedMulti.SetNoiseQuality(N.C_QUALITY_STD)

-- The land: a map of the generator over the square from (0, 0) to
-- (extent, extent) of the y = 0 plane, one value a pixel.
local extent = 4.0
local height = noise.planemap(N.M_Perlin.Calc, { 0, extent, 0, extent }, size, size)

-- The ridges, the same points through the plane model and noise.grid (whose
-- ranges include their upper end, one pixel short of the extent here).
N.Plane.SetModule(N.C_MODULE_RIDGED_MULTI)
local last = extent * (size - 1) / size
local ridges = noise.grid(N.Plane.Calc, { 0, last, size }, { 0, last, size })

-- Mountains rise only inland, more the further from the sea.
local land, ridge = height:flat(), ridges:flat()
for i = 1, size * size do
  local inland = math.max(land[i], 0)
  local h = land[i] * 0.7 + math.min(inland * 3, 1) * math.max(ridge[i], 0) * 0.9
  height:set((i - 1) % size, math.floor((i - 1) / size), h)
end

-- Colours by height, blended between the stops: {height, red, green, blue}.
local colours = {
  { -1.0, 0, 30, 90 }, -- deep water
  { -0.25, 20, 70, 150 },
  { 0.0, 60, 130, 200 }, -- shallow water
  { 0.0001, 210, 200, 140 }, -- sand
  { 0.05, 190, 180, 120 },
  { 0.06, 70, 140, 50 }, -- grass
  { 0.5, 40, 90, 30 },
  { 0.51, 110, 95, 80 }, -- rock
  { 1.0, 140, 130, 120 },
  { 1.01, 235, 235, 245 }, -- snow
  { 2.0, 255, 255, 255 },
}
-- Lit from the north-west: flat ground keeps its colour, slopes facing the
-- light grow brighter and the others darker, the same at any size. The sea
-- (below 0) is lit as the flat surface it is, not as its floor.
local img = noise.image.new(size, size)
noise.render(height, img, { gradient = colours, light = { azimuth = 135, water = 0 } })
img:save(output)
print(string.format("Wrote %s (%d x %d)", output, size, size))
