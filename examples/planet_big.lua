local noise = require "noisebind"

-- A planet from one graph of 128 noise modules, built the way libnoise
-- programs build terrain: a continent field first, then one subgraph per
-- kind of terrain (mountains, hills, plains, badlands) and rivers, each
-- placed by fields derived from the continents. The parts several others
-- read, and each group's result, go through `noise.Cache` (26 of them), as
-- libnoise programs write it (maps evaluate a shared part once per block of
-- points anyway).
-- Drawn equirectangular from sphere maps, coloured by height and lit from
-- the east.
--
-- bench/planet_recipe.h builds the same graph in C++ for `make bench`:
-- keep the two in step.
--
--   vessa examples/planet_big.lua [OUTPUT.png] [WIDTH]
--   vessa examples/planet_big.lua OUTPUT.json    (the graph file, as in examples/graphs/)
local output, width = ...
output = output or "planet_big.png"
width = tonumber(width) or 1024
local height = math.max(1, math.floor(width / 2))

local function fractal(class, frequency, octaves, persistence, lacunarity, seed)
  return class { frequency = frequency, octaves = octaves, persistence = persistence,
    lacunarity = lacunarity, seed = seed }
end
local function ridged(frequency, octaves, lacunarity, seed)
  return noise.RidgedMulti { frequency = frequency, octaves = octaves, lacunarity = lacunarity,
    seed = seed }
end
local function warp(source, frequency, power, roughness, seed)
  return noise.Turbulence(source, { frequency = frequency, power = power, roughness = roughness,
    seed = seed })
end
local function scalebias(source, scale, bias)
  return noise.ScaleBias(source, { scale = scale, bias = bias })
end
local function select(a, b, control, lower, upper, falloff)
  return noise.Select(a, b, control, { lower = lower, upper = upper, falloff = falloff })
end
local function clamp(source, lower, upper)
  return noise.Clamp(source, { lower = lower, upper = upper })
end
local function curve(source, points)
  return noise.Curve(source, { points = points })
end
local function terrace(source, points)
  return noise.Terrace(source, { points = points })
end

-- Continents: broad Perlin noise, turned so that no pole sits on a lattice
-- line, bent so that a little over half is sea, then carved by ridged noise
-- into inlets and fjords.
local base = noise.RotatePoint(fractal(noise.Perlin, 0.85, 10, 0.55, 2.17, 201),
  { x = 12, y = 31, z = 0 })
local bent = noise.Cache(curve(base, {
  { -2, -1.8 }, { -1, -1 }, { -0.35, -0.5 }, { -0.06, -0.12 }, { 0, 0.01 }, { 0.12, 0.09 },
  { 0.5, 0.3 }, { 1, 0.55 }, { 2, 0.95 },
}))
local carver = scalebias(noise.TranslatePoint(ridged(3.1, 8, 2.21, 202),
  { x = 0.37, y = -0.11, z = 0.23 }), 0.5, 0.62)
local carved = noise.Cache(clamp(noise.Min(carver, bent), -1, 1))
-- Inland the field is warped twice, so that the terrain types it places get
-- ragged borders; the coasts keep the smooth field.
local warped = noise.Cache(warp(warp(carved, 6, 0.06, 4, 203), 16, 0.02, 3, 206))
local continents = noise.Cache(select(carved, warped, carved, -0.04, 1000, 0.25))

-- Where each terrain goes: the continent field warped and quantised, so that
-- plains follow the coasts and mountains the hearts of continents; a field
-- of its own says where the land is dry.
local terrain_type = noise.Cache(terrace(warp(continents, 5, 0.1, 3, 210),
  { -1, -0.2, 0.25, 0.6, 1 }))
local dryness = noise.Cache(fractal(noise.Perlin, 2.2, 3, 0.5, 2, 214))

-- Mountains: ranges and valleys of ridged noise, blended by how far inland,
-- pushed about by three Perlin fields, with peaks or foothills on top,
-- sharpened.
local ranges = clamp(terrace(scalebias(ridged(6.5, 9, 2.13, 220), 0.5, 0.35),
  { -1, -0.3, 0.2, 0.55, 0.8, 1.3 }), -1, 1)
local valleys = scalebias(ridged(8.2, 7, 2.19, 221), -0.55, -0.3)
local massif = noise.Cache(noise.Blend(valleys, ranges, scalebias(continents, 3.5, -1.1)))
local function push(seed)
  return scalebias(fractal(noise.Perlin, 9, 3, 0.5, 2, seed), 0.03, 0)
end
local shifted = noise.Cache(noise.Displace(massif, push(222), push(223), push(224)))
local peaks = scalebias(ridged(19, 5, 2.2, 225), 0.22, 0.04)
local foothills = scalebias(fractal(noise.Billow, 11, 4, 0.5, 2, 226), 0.12, -0.1)
local rugged = noise.Cache(noise.Add(shifted, noise.Max(peaks, foothills)))
local mountains = noise.Cache(scalebias(noise.Exponent(rugged, { exponent = 1.35 }), 0.55, 0.3))

-- Hills: rolling billows with creeks cut into them, warped a little.
local rolling = scalebias(fractal(noise.Billow, 5.5, 6, 0.5, 2.11, 230), 0.5, 0.5)
local creeks = scalebias(ridged(6, 1, 2, 231), -2, -0.5)
local dales = noise.Blend(noise.Const { value = -1 }, creeks, rolling)
local hills = noise.Cache(clamp(scalebias(noise.Exponent(warp(dales, 20, 0.02, 3, 232),
  { exponent = 1.2 }), 0.35, 0.12), -1, 1))

-- Plains: two billow fields multiplied into low swells, flat where dry.
local swells = noise.Cache(noise.Multiply(fractal(noise.Billow, 8, 7, 0.5, 2.2, 240),
  fractal(noise.Billow, 8, 7, 0.5, 2.2, 241)))
local plains = noise.Cache(noise.Blend(scalebias(swells, 0.3, 0.1), noise.Const { value = 0.05 },
  dryness))

-- Badlands: dunes of ridged and cell noise, and terraced mesas whose cliffs
-- are eroded by two turbulences, where the mesa field is high.
local dunes = noise.Cache(noise.Add(scalebias(ridged(16, 1, 2, 250), 0.3, 0.2),
  scalebias(noise.Voronoi { frequency = 9, displacement = 0, distance = true, seed = 251 },
    -0.25, 0.1)))
local mesas = noise.Cache(fractal(noise.Perlin, 5.2, 6, 0.6, 2.2, 252))
local cliffs = noise.Cache(terrace(clamp(curve(mesas, {
  { -2, -2 }, { -1, -1.2 }, { -0.25, -0.55 }, { 0, 0.05 }, { 0.35, 0.65 }, { 0.8, 0.85 },
  { 2, 1.1 },
}), -1, 0.9), { -1, -0.7, -0.4, 0.1, 0.3, 0.9 }))
local eroded = noise.Cache(warp(warp(cliffs, 24, 0.015, 3, 253), 55, 0.006, 2, 256))
local badlands = noise.Cache(scalebias(select(dunes, eroded, mesas, -0.1, 1000, 0.15), 0.5, 0.2))

-- Rivers: the crests of one-octave ridged noise (which peaks at 0.25), wide
-- and narrow, become channels; warped so that they meander.
local wide = curve(ridged(4.5, 1, 2, 260),
  { { -2, 0 }, { 0.1, 0 }, { 0.2, -0.35 }, { 0.25, -1 }, { 2, -1 } })
local narrow = curve(ridged(10, 1, 2, 261),
  { { -2, 0 }, { 0.15, 0 }, { 0.22, -0.25 }, { 0.25, -0.6 }, { 2, -0.6 } })
local rivers = noise.Cache(scalebias(warp(noise.Min(wide, narrow), 17, 0.02, 3, 262), 0.18, 0))

-- Each terrain at its heights, placed: plains at the coasts, then hills
-- (with mountain ridges showing through), then mountains; badlands over the
-- hills where it is dry.
local rises = noise.Cache(noise.Max(scalebias(hills, 0.09, 0.06), scalebias(mountains, 0.2, -0.02)))
local lowlands = noise.Cache(select(scalebias(plains, 0.03, 0.015), rises, terrain_type,
  -0.05, 1000, 0.2))
local highlands = noise.Cache(select(lowlands, scalebias(mountains, 0.32, 0.2), terrain_type,
  0.3, 1000, 0.16))
local dry = noise.Add(scalebias(badlands, 0.06, 0.05), scalebias(rises, 0.5, 0))
local relief = noise.Cache(select(highlands, dry, dryness, 0.3, 1000, 0.1))

-- Relief and rivers grow from nothing at the coast to full strength a
-- little inland; the sea floor has ridges and the rivers' canyons, and
-- shelves stepping down from the coasts.
local inland = noise.Cache(clamp(scalebias(continents, 5, 0), 0, 1))
local shelves = noise.Cache(clamp(terrace(continents, { -1, -0.55, -0.25, -0.1, 0 }), -1, 0))
local level = noise.Cache(noise.Add(scalebias(continents, 0.3, 0), scalebias(shelves, 0.08, 0)))
local land = noise.Add(noise.Add(level, noise.Multiply(relief, inland)),
  noise.Multiply(rivers, inland))
local ridges = scalebias(noise.Abs(ridged(4, 5, 2.1, 270)), 0.02, -0.015)
local sea_floor = noise.Add(noise.Add(level, ridges), scalebias(rivers, 0.4, 0))
local planet = select(sea_floor, land, continents, -0.02, 1000, 0.03)
-- The rivers' cut, drawn over the land below.
local cut_graph = noise.Multiply(rivers, inland)

-- The parts a person tuning the planet looks for, named in the graph file.
local parts = { continents = continents, terrain_type = terrain_type, dryness = dryness,
  mountains = mountains, hills = hills, plains = plains, badlands = badlands, rivers = rivers,
  inland = inland, level = level, relief = relief, sea_floor = sea_floor, land = land }
for name, part in pairs(parts) do part.name = name end
if output:match("%.json$") then
  noise.savegraph(output, { planet = planet, rivers = cut_graph })
  print("Wrote " .. output)
  return
end

-- The whole sphere, north at the top.
local bounds = { -90, 90, -180, 180 }
local heights = noise.spheremap(planet, bounds, width, height)

-- Colours by height: sea from deep to shallow, then lowland green through
-- dry brown and rock to snow.
-- Lit from the east, the sea (below 0) as flat water.
local img = image.new(width, height)
noise.render(heights, img, {
  gradient = {
    { -0.32, 8, 24, 80 }, { -0.08, 20, 70, 150 }, { -0.005, 60, 140, 190 }, { 0, 150, 170, 110 },
    { 0.02, 70, 130, 55 }, { 0.12, 100, 140, 60 }, { 0.22, 150, 130, 80 }, { 0.34, 120, 100, 85 },
    { 0.46, 170, 165, 160 }, { 0.52, 245, 248, 252 },
  },
  light = { azimuth = 0, water = 0 },
  wrap = true,
})
-- The rivers on the land, drawn over it: the cut they make, as water where
-- it is deep and fading out at the banks.
local cut = noise.spheremap(cut_graph, bounds, width, height)
noise.render(cut, img, { gradient = { { -0.12, 40, 95, 175, 255 }, { -0.03, 40, 95, 175, 0 } } })
img:save(output)
print("Wrote " .. output)
