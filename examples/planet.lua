-- A world map: Perlin noise on the unit sphere, drawn in the
-- equirectangular projection (longitude across, latitude down), with polar
-- ice and a layer of billowy clouds. Each layer is one sphere map.
--
--   vessa examples/planet.lua [OUTPUT.png] [WIDTH]
local noise = require "noisebind"
local output, width = ...
output = output or "planet.png"
width = tonumber(width) or 1024
local height = math.max(1, math.floor(width / 2)) -- 360 by 180 degrees

local N = LibNoise

-- Continents. The generators are shared by every script: set all we use.
N.M_Perlin.SetSeed(1)
N.M_Perlin.SetFrequency(1.3)
N.M_Perlin.SetOctaveCount(7)
N.M_Perlin.SetPersistence(0.5)
N.M_Perlin.SetLacunarity(2.1)
N.M_Perlin.SetNoiseQuality(N.C_QUALITY_STD)

-- Clouds: billow noise is Perlin noise folded at zero, all puffs.
N.M_Billow.SetSeed(2)
N.M_Billow.SetFrequency(3.0)
N.M_Billow.SetOctaveCount(5)
N.M_Billow.SetPersistence(0.5)
N.M_Billow.SetLacunarity(2.0)
N.M_Billow.SetNoiseQuality(N.C_QUALITY_STD)

-- The whole sphere, north at the top (as sphere maps are by default).
local world = { -90, 90, -180, 180 }
local land = noise.spheremap(N.M_Perlin.Calc, world, width, height)
local clouds = noise.spheremap(N.M_Billow.Calc, world, width, height)

-- The maps hold what the sphere model gives at each latitude and
-- longitude, and what the generator gives at that point of the sphere.
N.Sphere.SetModule(N.C_MODULE_PERLIN)
assert(land:get(0, height - 1) == N.Sphere.Calc(-90, -180))
assert(clouds:get(0, height - 1) == N.M_Billow.Calc(N.LatLonOnSphere(-90, -180, 0, 0, 0)))

local function mix(a, b, t)
  return a + (b - a) * t
end

local heights, puffs = land:flat(), clouds:flat()
local img = noise.image.new(width, height)
for y = 0, height - 1 do
  local lat = -90 + (height - 1 - y) * 180 / height -- the latitude of the row
  for x = 0, width - 1 do
    local h = heights[y * width + x + 1] - 0.1 -- a little more sea than land
    local r, g, b
    if h < 0 then -- sea, darker where deeper
      local t = math.min(-h * 3, 1)
      r, g, b = mix(40, 5, t), mix(110, 40, t), mix(190, 110, t)
    else -- land, from green lowland to brown highland
      local t = math.min(h * 1.2, 1)
      r, g, b = mix(60, 150, t), mix(130, 120, t), mix(50, 80, t)
    end
    -- Ice near the poles, with a ragged edge.
    if math.abs(lat) + h * 8 > 76 then
      r, g, b = 235, 240, 250
    end
    local cloud = math.max(0, puffs[y * width + x + 1] + 0.1) * 0.6
    img:set(x, y, mix(r, 255, cloud), mix(g, 255, cloud), mix(b, 255, cloud))
  end
end
img:save(output)
print("Wrote " .. output)
