-- The building blocks of coherent noise, drawn as curves in four charts.
--   Top left: random values at the integer points (Int3DNoise), joined by
--     linear (blue) and cubic (red) interpolation.
--   Top right: the S-curves that ease interpolation in and out: a straight
--     line (blue), SCurve3 (red) and SCurve5 (green), from 0 to 1.
--   Bottom left: value noise at the three qualities, which interpolate with
--     a straight line (blue), SCurve3 (red) and SCurve5 (green).
--   Bottom right: gradient noise (blue), and the ramp of the nearest integer
--     point's gradient that it blends together (red).
--
--   vessa examples/primitives.lua [OUTPUT.png] [WIDTH]
local noise = require "noisebind"
local output, width = ...
output = output or "primitives.png"
width = tonumber(width) or 768

local N = LibNoise
local seed = 9
local span = 8 -- integer points across the noise charts

local panel = math.max(8, math.floor(width / 2)) -- each chart's width
local chart = math.max(4, math.floor(panel / 2)) -- and height
local img = noise.image.new(panel * 2, chart * 2)

local BLUE, RED, GREEN = { 40, 90, 200 }, { 220, 50, 40 }, { 30, 150, 60 }

-- A chart in the panel at column `px`, row `py`, showing values from `low`
-- (bottom) to `high` (top), light grey with lines at each whole value.
local function frame(px, py, low, high)
  local left, top = px * panel, py * chart
  for y = 0, chart - 1 do
    for x = 0, panel - 1 do
      local edge = x == 0 or y == 0
      img:set(left + x, top + y, edge and 150 or 240)
    end
  end
  local c = {}
  function c.row(v)
    v = math.max(low, math.min(high, v))
    return top + 1 + math.floor((high - v) / (high - low) * (chart - 3) + 0.5)
  end
  for v = math.ceil(low), math.floor(high) do
    for x = 1, panel - 1 do
      img:set(left + x, c.row(v), 205)
    end
  end
  -- f(t) for t from 0 to 1 across the chart; each column is filled from
  -- the previous value to this one, so steep stretches stay unbroken.
  function c.plot(f, colour)
    local previous = c.row(f(0))
    for x = 1, panel - 1 do
      local current = c.row(f((x - 1) / (panel - 2)))
      for y = math.min(previous, current), math.max(previous, current) do
        img:set(left + x, y, colour[1], colour[2], colour[3])
      end
      previous = current
    end
  end
  return c
end

-- Int3DNoise gives a random 32-bit integer for each integer point: divided
-- here into -1 to 1.
local function lattice(i)
  return N.Int3DNoise(i, 0, 0, seed) / 2147483648
end

local c = frame(0, 0, -1.5, 1.5)
local function between(t, interpolate)
  local x = t * span
  local i = math.min(math.floor(x), span - 1)
  return interpolate(i, x - i)
end
c.plot(function(t)
  return between(t, function(i, a)
    return N.InterpolateLinear(lattice(i), lattice(i + 1), a)
  end)
end, BLUE)
c.plot(function(t)
  return between(t, function(i, a)
    return N.InterpolateCubic(lattice(i - 1), lattice(i), lattice(i + 1), lattice(i + 2), a)
  end)
end, RED)

c = frame(1, 0, 0, 1)
c.plot(function(a) return a end, BLUE)
c.plot(N.SCurve3, RED)
c.plot(N.SCurve5, GREEN)

-- Along the x axis: y and z stay on integers, so only x is interpolated.
-- The values reach past 1: the integers above are signed, and value noise
-- maps them onto 1 - n / 2^30.
c = frame(0, 1, -1.5, 3.5)
c.plot(function(t) return N.Coherent3DNoise(t * span, 0, 0, seed, N.C_QUALITY_FAST) end, BLUE)
c.plot(function(t) return N.Coherent3DNoise(t * span, 0, 0, seed, N.C_QUALITY_STD) end, RED)
-- 3DNoise is another name of Coherent3DNoise.
c.plot(function(t) return N["3DNoise"](t * span, 0, 0, seed, N.C_QUALITY_BEST) end, GREEN)

c = frame(1, 1, -1.5, 1.5)
c.plot(function(t)
  return N.GradientCoherent3DNoise(t * span, 0.3, 0.6, seed, N.C_QUALITY_BEST)
end, BLUE)
c.plot(function(t)
  local x = t * span
  local nearest = math.floor(x + 0.5)
  return N.Gradient3DNoise(x, 0.3, 0.6, nearest, 0, 1, seed)
end, RED)

img:save(output)
print("Wrote " .. output)
