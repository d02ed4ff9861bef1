-- A whole planet from one graph of noise objects: continents shaped by a
-- curve, ridged mountains warped by turbulence, billowy hills, flat plains,
-- each where a terrain-type field puts it, and rivers cut into the land.
-- Drawn equirectangular (longitude across, latitude down) through the
-- sphere model, lit from the east.
--
--   vessa examples/world.lua [OUTPUT.png] [WIDTH]
local output, width = ...
output = output or "world.png"
width = tonumber(width) or 1024
local height = math.max(1, math.floor(width / 2))

-- Continents: broad Perlin noise, bent so that most of it is sea, with
-- shelves at the coasts and low interiors.
local shape = noise.Perlin { frequency = 1.1, octaves = 7, persistence = 0.52, seed = 11 }
local continents = noise.Curve(shape, { points = {
  { -1.5, -1.1 }, { -0.4, -0.5 }, { -0.05, -0.08 }, { 0.05, 0.04 }, { 0.4, 0.22 }, { 1.5, 0.55 },
} })

-- Mountains: ridged noise, warped so the ranges wander, raised above sea.
local ridges = noise.RidgedMulti { frequency = 3.2, octaves = 6, seed = 12 }
local mountains = noise.ScaleBias(
  noise.Turbulence(ridges, { frequency = 9, power = 0.035, roughness = 3, seed = 13 }),
  { scale = 0.32, bias = 0.3 })

-- Hills and plains.
local hills = noise.ScaleBias(noise.Billow { frequency = 7, octaves = 4, persistence = 0.45, seed = 14 },
  { scale = 0.09, bias = 0.12 })
local plains = noise.ScaleBias(noise.Perlin { frequency = 14, octaves = 3, seed = 15 },
  { scale = 0.02, bias = 0.03 })

-- Which terrain goes where: plains below -0.2, hills up to 0.25, mountains
-- above, with soft edges between them.
local terrain = noise.Perlin { frequency = 1.6, octaves = 4, seed = 16 }
local lowlands = noise.Select(plains, hills, terrain, { lower = -0.2, upper = 100, falloff = 0.1 })
local relief = noise.Select(lowlands, mountains, terrain, { lower = 0.25, upper = 100, falloff = 0.15 })

-- Relief grows from nothing at the coast to full strength a little inland.
local inland = noise.Clamp(noise.ScaleBias(continents, { scale = 6 }), { lower = 0, upper = 1 })
local land = noise.Add(continents, noise.Multiply(relief, inland))

-- Rivers: the crests of one-octave ridged noise (which peaks at 0.25),
-- warped, become channels
-- that cut down into the land (and only the land).
local channels = noise.Turbulence(noise.RidgedMulti { frequency = 3, octaves = 1, seed = 17 },
  { frequency = 14, power = 0.025, seed = 18 })
local depth = noise.Curve(channels, { points = {
  { -2, 0 }, { 0, 0 }, { 0.12, -0.06 }, { 0.2, -0.35 }, { 2, -0.35 },
} })
local world = noise.Add(land, noise.Multiply(depth, inland))

local function mix(a, b, t)
  return a + (b - a) * t
end

-- Colours by height: sea from deep to shallow, then lowland to snow.
local function colour(h, lat)
  if h < 0 then
    local t = math.min(-h * 2.5, 1)
    return mix(60, 10, t), mix(140, 40, t), mix(200, 110, t)
  end
  if math.abs(lat) + h * 30 > 78 or h > 0.62 then return 240, 244, 250 end
  if h < 0.12 then
    local t = h / 0.12
    return mix(70, 110, t), mix(140, 150, t), mix(60, 70, t)
  end
  local t = math.min((h - 0.12) / 0.5, 1)
  return mix(110, 120, t), mix(150, 95, t), mix(70, 70, t)
end

local img = image.new(width, height)
local step = 360 / width
for y = 0, height - 1 do
  local lat = 90 - (y + 0.5) / height * 180
  for x = 0, width - 1 do
    local lon = -180 + (x + 0.5) * step
    local h = world:sphere(lat, lon)
    local r, g, b = colour(h, lat)
    if h >= 0 and depth:sphere(lat, lon) < -0.28 then -- the bed of a river
      r, g, b = 50, 110, 190
    elseif h >= 0 then -- land is lit from the east: brighter where it rises eastward
      local rise = (world:sphere(lat, lon + step) - h) * width / 64
      local light = math.max(0.55, math.min(1.35, 1 + rise))
      r, g, b = r * light, g * light, b * light
    end
    img:set(x, y, r, g, b)
  end
end
img:save(output)
print("Wrote " .. output)
