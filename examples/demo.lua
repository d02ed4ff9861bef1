-- A terrain heightmap: Perlin noise for the lie of the land, ridged
-- multifractal noise for mountain ranges, coloured by height and lit from
-- the north-west.
--
--   vessa examples/demo.lua [OUTPUT.png] [SIZE]
local output, size = ...
output = output or "demo.png"
size = tonumber(size) or 512

local N = LibNoise
local started = os.clock()

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

-- The plane model reads its source on the y = 0 plane at (x, z). It has one
-- source at a time, so sample each generator in a pass of its own.
local extent = 4.0 -- how much of the plane the picture shows
local function sample(module)
  N.Plane.SetModule(module)
  local values = {}
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      values[y * size + x] = N.Plane.Calc(x / size * extent, y / size * extent)
    end
  end
  return values
end
local land = sample(N.C_MODULE_PERLIN)
local ridges = sample(N.C_MODULE_RIDGED_MULTI)

-- Mountains rise only inland, more the further from the sea.
local height = {}
for i = 0, size * size - 1 do
  local inland = math.max(land[i], 0)
  height[i] = land[i] * 0.7 + math.min(inland * 3, 1) * math.max(ridges[i], 0) * 0.9
end

-- Colour bands by height: {top of the band, colour at its bottom, colour at its top}.
local bands = {
  { -0.25, { 0, 30, 90 }, { 20, 70, 150 } }, -- deep water
  { 0.0, { 20, 70, 150 }, { 60, 130, 200 } }, -- shallow water
  { 0.05, { 210, 200, 140 }, { 190, 180, 120 } }, -- sand
  { 0.5, { 70, 140, 50 }, { 40, 90, 30 } }, -- grass
  { 1.0, { 110, 95, 80 }, { 140, 130, 120 } }, -- rock
  { math.huge, { 235, 235, 245 }, { 255, 255, 255 } }, -- snow
}
local function colour(h)
  local bottom = -1.0
  for _, band in ipairs(bands) do
    local top, low, high = band[1], band[2], band[3]
    if h < top then
      local t = top == math.huge and 0 or math.max(0, (h - bottom) / (top - bottom))
      return low[1] + (high[1] - low[1]) * t,
        low[2] + (high[2] - low[2]) * t,
        low[3] + (high[3] - low[3]) * t
    end
    bottom = top
  end
end

local img = image.new(size, size)
for y = 0, size - 1 do
  for x = 0, size - 1 do
    local h = height[y * size + x]
    local r, g, b = colour(h)
    if h > 0 then
      -- Land that rises to the east or south faces the light; water stays flat.
      local dx = height[y * size + math.min(x + 1, size - 1)] - h
      local dy = height[math.min(y + 1, size - 1) * size + x] - h
      local light = 1 + (dx + dy) * size / extent * 0.2
      light = math.max(0.4, math.min(1.3, light))
      r, g, b = r * light, g * light, b * light
    end
    img:set(x, y, r, g, b) -- values past 255 are clamped
  end
end
img:save(output)
print(string.format("Wrote %s (%d x %d) in %.2f s", output, size, size, os.clock() - started))
