-- Turbulence moves each point by a random amount before another generator
-- is sampled there. Three textures from it: a warped checkerboard (which
-- shows what the warp does), marble veins from concentric cylinders seen
-- from far off their axis, and wood grain from concentric spheres.
--
--   vessa examples/marble.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "marble.png"
size = tonumber(size) or 256 -- of each of the three panels

local N = LibNoise
local T = N.M_Turbulence

-- The generators are shared by every script: set all we rely on.
T.SetSeed(4)
T.SetRoughness(4) -- octaves of the noise that pushes points about
N.M_Cylinders.SetFrequency(2.0)
N.M_Spheres.SetFrequency(6.0)

local function mix(a, b, t)
  return a + (b - a) * t
end

local img = noise.image.new(size * 3, size)

-- Samples `texture` at the displaced points of a square of the x-z plane
-- `extent` wide with its corner at (x0, z0), into the panel at `left`.
local function panel(left, x0, z0, extent, texture)
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      local px, py, pz = T.Calc(x0 + x / size * extent, 0.5, z0 + y / size * extent)
      img:set(left + x, y, texture(px, py, pz))
    end
  end
end

-- The checkerboard's squares are one unit wide; a strong, slow warp.
T.SetFrequency(0.5)
T.SetPower(0.3)
panel(0, 0, 0, 6, function(x, y, z)
  return N.M_CBoard.Calc(x, y, z) > 0 and 230 or 40
end)

-- Far from the axis the cylinders' rings look like parallel bands; the warp
-- bends them into veins, and a high power of the value thins them out.
T.SetFrequency(1.0)
T.SetPower(0.35)
panel(size, 40, 0, 2, function(x, _, z)
  local vein = ((N.M_Cylinders.Calc(x, z) + 1) / 2) ^ 6
  return mix(235, 70, vein), mix(232, 80, vein), mix(225, 95, vein)
end)

-- The spheres' rings around the middle of the panel make growth rings; a
-- gentle, fast warp makes the grain.
T.SetFrequency(3.0)
T.SetPower(0.03)
panel(size * 2, -1, -1, 2, function(x, y, z)
  local ring = (N.M_Spheres.Calc(x, y, z) + 1) / 2
  return mix(120, 200, ring), mix(70, 140, ring), mix(30, 80, ring)
end)

img:save(output)
print("Wrote " .. output)
