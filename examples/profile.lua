-- Noise along a path, drawn as charts. Top: Perlin noise along a line
-- segment through the line model, as it is (blue) and attenuated to zero at
-- both ends (red). Bottom: the same noise once around the cylinder model,
-- 0 to 360 degrees, which ends where it started.
--
--   vessa examples/profile.lua [OUTPUT.png] [WIDTH]
local noise = require "noisebind"
local output, width = ...
output = output or "profile.png"
width = math.max(2, tonumber(width) or 768)
local chart = math.max(8, math.floor(width / 4)) -- height of each chart
local margin = math.max(1, math.floor(chart / 8))

local N = LibNoise

-- The generator and models are shared by every script: set all we rely on.
N.M_Perlin.SetSeed(6)
N.M_Perlin.SetFrequency(1.0)
N.M_Perlin.SetOctaveCount(6)
N.M_Perlin.SetPersistence(0.5)
N.M_Perlin.SetLacunarity(2.0)
N.M_Perlin.SetNoiseQuality(N.C_QUALITY_BEST)

N.Line.SetModule(N.C_MODULE_PERLIN)
N.Line.SetStartPoint(0.0, 0.5, 0.0)
N.Line.SetEndPoint(8.0, 0.5, 3.0)
N.Cylinder.SetModule(N.C_MODULE_PERLIN)

local img = noise.image.new(width, 2 * chart + 3 * margin)
for y = 0, img:height() - 1 do
  for x = 0, width - 1 do
    img:set(x, y, 250)
  end
end

-- A chart of values from -1.5 (bottom) to 1.5 (top), with the zero line:
-- noise strays a little past -1 to 1.
local range = 1.5
local function frame(top)
  for y = top, top + chart - 1 do
    for x = 0, width - 1 do
      img:set(x, y, 235, 238, 242)
    end
  end
  for x = 0, width - 1 do
    img:set(x, top + math.floor(chart / 2), 170)
  end
end

-- f(t) for t from 0 to 1 across the chart, values clamped to the range. Each
-- column is filled from the previous value to this one, so steep stretches
-- stay unbroken.
local function plot(top, f, r, g, b)
  local function row(v)
    v = math.max(-range, math.min(range, v))
    return top + math.floor((range - v) / (2 * range) * (chart - 1) + 0.5)
  end
  local previous = row(f(0))
  for x = 0, width - 1 do
    local current = row(f(x / (width - 1)))
    for y = math.min(previous, current), math.max(previous, current) do
      img:set(x, y, r, g, b)
    end
    previous = current
  end
end

local top = margin
frame(top)
N.Line.SetAttenuation(false)
plot(top, N.Line.Calc, 40, 90, 200)
N.Line.SetAttenuation(true)
plot(top, N.Line.Calc, 220, 50, 40)

top = 2 * margin + chart
frame(top)
plot(top, function(t)
  return N.Cylinder.Calc(t * 360, 0.0)
end, 30, 140, 60)

img:save(output)
print("Wrote " .. output)
