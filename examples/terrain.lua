-- The README's first script: a terrain in ten lines, from noise objects,
-- saved as terrain.png in the current folder (`make gallery` runs it in docs/).
--   vessa examples/terrain.lua
local noise = require "noisebind"
local hills = noise.Perlin { frequency = 1 / 256, octaves = 6, seed = 42 }
local peaks = noise.ScaleBias(noise.RidgedMulti { frequency = 1 / 128, seed = 43 }, { scale = 0.6 })
local land = noise.Select(hills, noise.Add(hills, peaks), hills, { lower = 0.25, upper = 9, falloff = 0.2 })
local heights = noise.planemap(land, { 0, 1024, 0, 1024 }, 512, 512)
local img = noise.image.new(512, 512)
noise.render(heights, img, { light = true, gradient = { { -1, 10, 40, 110 }, { 0, 60, 130, 200 },
  { 0.02, 210, 200, 140 }, { 0.1, 70, 140, 50 }, { 0.6, 110, 95, 80 }, { 1.2, 250, 250, 255 } } })
img:save("terrain.png")
print(heights:range())   --> -1.2578206030811 1.92671245
