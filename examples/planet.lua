-- A world map: Perlin noise on the unit sphere through the sphere model,
-- drawn in the equirectangular projection (longitude across, latitude down),
-- with polar ice and a layer of billowy clouds.
--
--   vessa examples/planet.lua [OUTPUT.png] [WIDTH]
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
N.Sphere.SetModule(N.C_MODULE_PERLIN)

-- Clouds: billow noise is Perlin noise folded at zero, all puffs.
N.M_Billow.SetSeed(2)
N.M_Billow.SetFrequency(3.0)
N.M_Billow.SetOctaveCount(5)
N.M_Billow.SetPersistence(0.5)
N.M_Billow.SetLacunarity(2.0)
N.M_Billow.SetNoiseQuality(N.C_QUALITY_STD)

local function mix(a, b, t)
  return a + (b - a) * t
end

local img = image.new(width, height)
for y = 0, height - 1 do
  -- The middle of each pixel row and column, in degrees.
  local lat = 90 - (y + 0.5) / height * 180
  for x = 0, width - 1 do
    local lon = -180 + (x + 0.5) / width * 360
    local h = N.Sphere.Calc(lat, lon) - 0.1 -- a little more sea than land
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
    -- Clouds are drawn from the generator directly, at the point of the
    -- unit sphere the latitude and longitude stand for.
    local px, py, pz = N.LatLonOnSphere(lat, lon, 0, 0, 0)
    local cloud = math.max(0, N.M_Billow.Calc(px, py, pz) + 0.1) * 0.6
    img:set(x, y, mix(r, 255, cloud), mix(g, 255, cloud), mix(b, 255, cloud))
  end
end
img:save(output)
print("Wrote " .. output)
