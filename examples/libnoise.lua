-- The LibNoise table, as host applications load it: its generators and
-- models are shared by every script of the process, so a script sets every
-- setting it relies on. Here ridged multifractal noise through the Plane
-- model, sampled by noise.grid and lit.
--
--   vessa examples/libnoise.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "libnoise.png"
size = tonumber(size) or 256

local N = LibNoise
N.M_RidgedMulti.SetSeed(8)
N.M_RidgedMulti.SetFrequency(1.2)
N.M_RidgedMulti.SetOctaveCount(6)
N.M_RidgedMulti.SetLacunarity(2.0)
N.M_RidgedMulti.SetNoiseQuality(N.C_QUALITY_STD)
N.Plane.SetModule(N.C_MODULE_RIDGED_MULTI)

-- The grid's ranges include their upper end: one pixel short of 4 units.
local last = 4 * (size - 1) / size
local ridges = noise.grid(N.Plane.Calc, { 0, last, size }, { 0, last, size })
local img = noise.render(ridges, noise.image.new(size, size), {
  gradient = { { -1, 20, 24, 40 }, { 1.4, 240, 240, 255 } },
  light = { azimuth = 135 },
})
img:save(output)
print(string.format("Wrote %s (%d x %d)", output, size, size))
