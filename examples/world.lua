-- A whole planet from one graph of noise objects: continents shaped by a
-- curve, ridged mountains warped by turbulence, billowy hills, flat plains,
-- each where a terrain-type field puts it, and rivers cut into the land.
-- Drawn equirectangular (longitude across, latitude down) from sphere
-- maps, coloured by height and lit from the east.
--
--   vessa examples/world.lua [OUTPUT.png] [WIDTH]
--   vessa examples/world.lua OUTPUT.json    (the graph file, as in examples/graphs/)
local noise = require "noisebind"
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
continents.name, mountains.name, hills.name, plains.name = "continents", "mountains", "hills", "plains"
terrain.name, inland.name, depth.name = "terrain", "inland", "rivers"
if output:match("%.json$") then
  noise.savegraph(output, { world = world, rivers = depth })
  print("Wrote " .. output)
  return
end

-- The whole sphere as maps, north at the top: heights, and the channels
-- (for the river beds).
local bounds = { -90, 90, -180, 180 }
local heights = noise.spheremap(world, bounds, width, height)
local beds = noise.spheremap(depth, bounds, width, height)

-- Colours by height: sea from deep to shallow, then lowland to snow.
local img = noise.image.new(width, height)
noise.render(heights, img, { gradient = {
  { -0.4, 10, 40, 110 }, { 0, 60, 140, 200 }, { 0.0001, 70, 140, 60 }, { 0.12, 110, 150, 70 },
  { 0.62, 120, 95, 70 }, { 0.63, 240, 244, 250 },
} })

-- Light from the east on the land alone: a transparent gradient over the
-- relief (the heights with the sea flat) keeps the colours and shades them.
-- Flat ground gets half the light at 45 degrees; the brightness makes it whole.
local relief = noise.spheremap(world, bounds, width, height):clamp(0, 10)
noise.render(relief, img, {
  gradient = { { 0, 0, 0, 0, 0 } },
  light = { azimuth = 0, elevation = 45, contrast = 0.5, brightness = 2 },
  wrap = true,
})

-- River beds and polar ice, drawn over the land.
local h, d = heights:flat(), beds:flat()
for y = 0, height - 1 do
  local lat = 90 - (y + 0.5) / height * 180
  for x = 0, width - 1 do
    local i = y * width + x + 1
    if h[i] >= 0 then
      if d[i] < -0.28 then
        img:set(x, y, 50, 110, 190)
      elseif math.abs(lat) + h[i] * 30 > 78 then
        img:set(x, y, 240, 244, 250)
      end
    end
  end
end
img:save(output)
print("Wrote " .. output)
