-- One Perlin noise field, remapped four ways: as it is, through a curve of
-- control points, through terraces, and through a power curve. Top left to
-- bottom right.
--
--   vessa examples/terraces.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "terraces.png"
size = tonumber(size) or 256 -- of each of the four panels

local N = LibNoise

-- The modules are shared by every script, and their control points stay
-- until cleared: set everything we rely on.
N.M_Perlin.SetSeed(5)
N.M_Perlin.SetFrequency(1.5)
N.M_Perlin.SetOctaveCount(3)
N.M_Perlin.SetPersistence(0.5)
N.M_Perlin.SetLacunarity(2.0)
N.M_Perlin.SetNoiseQuality(N.C_QUALITY_STD)

-- The curve passes through its control points (input, output): here it
-- flattens the lowlands and lifts the highlands into steep peaks.
N.M_Curve.Clear()
N.M_Curve.AddPoint(-2.0, -1.0)
N.M_Curve.AddPoint(-1.0, -0.9)
N.M_Curve.AddPoint(0.0, -0.6)
N.M_Curve.AddPoint(0.4, 0.0)
N.M_Curve.AddPoint(0.7, 0.9)
N.M_Curve.AddPoint(2.0, 1.0)

-- Terraces: between two control values the land rises slowly, then
-- steeply up to the next, like steps cut into a hill.
N.M_Terrace.Clear()
for _, v in ipairs { -1.0, -0.6, -0.2, 0.2, 0.6, 1.0 } do
  N.M_Terrace.AddPoint(v)
end

-- A power curve: with an exponent above 1, most values sink, the highest stay.
N.M_Exponent.SetExponent(3.0)

local remaps = {
  function(v) return v end,
  N.M_Curve.Calc,
  N.M_Terrace.Calc,
  N.M_Exponent.Calc,
}

-- Heights of -1 to 1 as colours from deep blue through green to white.
local stops = {
  { -1.0, 20, 40, 110 },
  { -0.2, 60, 140, 190 },
  { 0.0, 80, 150, 70 },
  { 0.5, 150, 120, 80 },
  { 1.0, 250, 250, 250 },
}
local function colour(v)
  v = math.max(-1, math.min(1, v))
  for i = 2, #stops do
    local a, b = stops[i - 1], stops[i]
    if v <= b[1] then
      local t = (v - a[1]) / (b[1] - a[1])
      return a[2] + (b[2] - a[2]) * t, a[3] + (b[3] - a[3]) * t, a[4] + (b[4] - a[4]) * t
    end
  end
end

-- The noise, once.
local field = {}
for y = 0, size - 1 do
  for x = 0, size - 1 do
    field[y * size + x] = N.M_Perlin.Calc(x / size, 0.5, y / size)
  end
end

local img = noise.image.new(size * 2, size * 2)
for i, remap in ipairs(remaps) do
  local left, top = (i - 1) % 2 * size, math.floor((i - 1) / 2) * size
  local height = {}
  for p = 0, size * size - 1 do
    height[p] = remap(field[p])
  end
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      local h = height[y * size + x]
      -- Light from the top left shows flats and slopes: land rising to the
      -- right or downwards faces it.
      local slope = height[y * size + math.min(x + 1, size - 1)] - h
        + height[math.min(y + 1, size - 1) * size + x] - h
      local light = math.max(0.5, math.min(1.4, 1 + slope * size * 0.06))
      local r, g, b = colour(h)
      img:set(left + x, top + y, r * light, g * light, b * light)
    end
  end
  -- The remapping itself in the corner, input across and output up: a
  -- column of pixels from each value to the next keeps the line unbroken.
  local graph = math.floor(size / 4)
  local x0, y0 = left + size - graph - 4, top + size - graph - 4
  if graph < 2 then graph = 0 end -- too small a picture for it
  local function row(v)
    return math.floor((1 - math.max(-1, math.min(1, v))) / 2 * (graph - 1) + 0.5)
  end
  local previous = row(remap(-1))
  for gx = 0, graph - 1 do
    local current = row(remap(gx / (graph - 1) * 2 - 1))
    for gy = 0, graph - 1 do
      local on = gy >= math.min(previous, current) and gy <= math.max(previous, current)
      img:set(x0 + gx, y0 + gy, on and 255 or 30, on and 220 or 30, on and 0 or 30)
    end
    previous = current
  end
end
img:save(output)
print("Wrote " .. output)
