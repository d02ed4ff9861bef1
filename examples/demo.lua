-- A terrain heightmap: Perlin noise for the lie of the land, ridged
-- multifractal noise for mountain ranges, coloured by height and lit from
-- the north-west: one graph of noise objects, mapped on every core.
--
--   vessa examples/demo.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "demo.png"
size = tonumber(size) or 512

-- The land: 6 octaves of Perlin noise; the ridges: ridged multifractal
-- noise, a little finer.
local land = noise.Perlin { seed = 7, frequency = 1, octaves = 6, persistence = 0.5 }
local ridges = noise.RidgedMulti { seed = 8, frequency = 1.2, octaves = 6 }

-- Mountains rise only inland, more the further from the sea:
-- land * 0.7 + clamp(land * 3, 0, 1) * max(ridges, 0) * 0.9.
local inland = noise.Clamp(noise.ScaleBias(land, { scale = 3 }), { lower = 0, upper = 1 })
local peaks = noise.Multiply(noise.Max(ridges, noise.Const { value = 0 }), inland)
local terrain = noise.Add(noise.ScaleBias(land, { scale = 0.7 }),
                          noise.ScaleBias(peaks, { scale = 0.9 }))

-- One map of the whole graph over the square from (0, 0) to (extent,
-- extent) of the y = 0 plane, one value a pixel, on every core.
local extent = 4.0
local height = noise.planemap(terrain, { 0, extent, 0, extent }, size, size)

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
