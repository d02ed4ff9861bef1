-- Voronoi cells. Each cell takes a random value of its own (left); with the
-- distance term switched on the value grows towards the cell's edges, which
-- shows each seed point (right).
--
--   vessa examples/cells.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "cells.png"
size = tonumber(size) or 384 -- of each half

local N = LibNoise
local V = N.M_Voronoi

-- The generator is shared by every script: set all we rely on.
V.SetSeed(3)
V.SetFrequency(6.0) -- about six cells across a unit of space
V.SetDisplacement(1.0) -- cell values range over -1 to 1

-- A colour for each cell value: three phase-shifted waves make a palette.
local function palette(v)
  local a = (v + 1) * math.pi
  return 128 + 110 * math.sin(a), 128 + 110 * math.sin(a + 2.1), 128 + 110 * math.sin(a + 4.2)
end

-- Each half is one map of the generator over the unit square of the y = 0
-- plane, drawn value by value.
local img = noise.image.new(size * 2, size)
local values = {} -- one table for both maps, filled again by the second
local function draw(left, shade)
  noise.planemap(V.Calc, { 0, 1, 0, 1 }, size, size):flat(values)
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      img:set(left + x, y, shade(values[y * size + x + 1]))
    end
  end
end

V.EnableDistance(false)
draw(0, palette)

V.EnableDistance(true)
draw(size, function(v)
  -- Now about -1.5 to 4: the cell's value plus a term that grows with
  -- the distance from the cell's seed point.
  return (v + 1.5) * 45
end)

img:save(output)
print("Wrote " .. output)
