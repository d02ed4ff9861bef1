-- The pictures of docs/guide.md: the graphs of the guide's blocks side by
-- side, each figure a grid of panels over the same bounds, in world units.
--
--   vessa examples/guide.lua [FOLDER] [SIZE]
local noise = require "noisebind"
local folder, size = ...
folder = folder or "."
size = tonumber(size) or 160
local gap = math.max(1, math.floor(size / 40))

local grey = { { -1.2, 0, 0, 0 }, { 1.2, 255, 255, 255 } }
local land = {
  { -1, 10, 40, 110 }, { 0, 60, 130, 200 }, { 0.02, 210, 200, 140 }, { 0.1, 70, 140, 50 },
  { 0.6, 110, 95, 80 }, { 1.2, 250, 250, 255 },
}

-- Rows of panels, each panel an object mapped over bounds and rendered,
-- on a white ground; saved as folder/name.
local function figure(name, rows, bounds, gradient, light)
  local columns = #rows[1]
  local img = noise.image.new(columns * (size + gap) - gap, #rows * (size + gap) - gap)
  for y = 0, img:height() - 1 do
    for x = 0, img:width() - 1 do img:set(x, y, 255) end
  end
  for r, row in ipairs(rows) do
    for c, object in ipairs(row) do
      -- A panel is an object, or {object, rendering settings of its own}.
      local own = type(object) == "table"
      local m = noise.planemap(own and object[1] or object, bounds, size, size)
      local panel = noise.render(m, noise.image.new(size, size),
        own and object[2] or { gradient = gradient, light = light })
      local left, top = (c - 1) * (size + gap), (r - 1) * (size + gap)
      for y = 0, size - 1 do
        for x = 0, size - 1 do img:set(left + x, top + y, panel:get(x, y)) end
      end
    end
  end
  img:save(folder .. "/" .. name)
end

local square = { 0, 1024, 0, 1024 }

-- Octaves 1, 3 and 6; then persistence 0.3, 0.5 and 0.7.
local function perlin(octaves, persistence)
  return noise.Perlin { frequency = 1 / 256, octaves = octaves, persistence = persistence,
    seed = 7 }
end
figure("guide_octaves.png", {
  { perlin(1, 0.5), perlin(3, 0.5), perlin(6, 0.5) },
  { perlin(6, 0.3), perlin(6, 0.5), perlin(6, 0.7) },
}, square, grey)

-- Plains and mountains: Select with a hard edge and a soft one, and Blend.
local plains = noise.ScaleBias(noise.Billow { frequency = 1 / 128, octaves = 4, seed = 1 },
  { scale = 0.08, bias = 0.12 })
local mountains = noise.ScaleBias(noise.RidgedMulti { frequency = 1 / 192, octaves = 7, seed = 2 },
  { scale = 0.4, bias = 0.45 })
local where = noise.Perlin { frequency = 1 / 1024, octaves = 3, seed = 3 }
local function select(falloff)
  return noise.Select(plains, mountains, where, { lower = 0.1, upper = 10, falloff = falloff })
end
figure("guide_select.png", { { select(0), select(0.25), noise.Blend(plains, mountains, where) } },
  { 0, 2048, 0, 2048 }, land, true)

-- Ridges as they are, through Turbulence, and displaced along x.
local ridges = noise.RidgedMulti { frequency = 1 / 192, octaves = 6, seed = 2 }
local push = noise.ScaleBias(noise.Perlin { frequency = 1 / 300, octaves = 2, seed = 10 },
  { scale = 60 })
figure("guide_warp.png", { {
  ridges,
  noise.Turbulence(ridges, { frequency = 1 / 128, power = 24, roughness = 3, seed = 9 }),
  noise.Displace(ridges, push, noise.Const(), noise.Const()),
} }, square, grey)

-- Perlin, terraced at chosen heights, evenly, and inverted; lit, so that
-- the steps show.
local hills = noise.Perlin { frequency = 1 / 256, octaves = 3, seed = 4 }
local steps = { -1, -0.3, 0, 0.2, 0.35, 1 }
local even = noise.Terrace(hills)
even:makepoints(8)
figure("guide_terrace.png", { {
  noise.Terrace(hills, { points = steps }),
  even,
  noise.Terrace(hills, { points = steps, invert = true }),
} }, square, grey, true)

-- Land, the channels of the ridged crests, and the land with its rivers.
local ground = noise.ScaleBias(noise.Perlin { frequency = 1 / 512, octaves = 7, seed = 11 },
  { scale = 0.6, bias = 0.3 })
local crests = noise.Turbulence(noise.RidgedMulti { frequency = 1 / 600, octaves = 1, seed = 17 },
  { frequency = 1 / 80, power = 20, seed = 18 })
local depth = noise.Curve(crests, { points = {
  { -2, 0 }, { 0, 0 }, { 0.12, -0.06 }, { 0.2, -0.35 }, { 2, -0.35 },
} })
local inland = noise.Clamp(noise.ScaleBias(ground, { scale = 6 }), { lower = 0, upper = 1 })
figure("guide_rivers.png", { {
  ground,
  { depth, { gradient = { { -0.35, 20, 60, 160 }, { 0, 255, 255, 255 } } } },
  noise.Add(ground, noise.Multiply(depth, inland)),
} }, { 0, 1536, 0, 1536 }, land, true)

print(string.format("Wrote the guide's pictures into %s (panels %d x %d)", folder, size, size))
