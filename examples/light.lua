-- The same terrain under three lights: libnoise's noiseutils formula, the
-- default light, and the default with the sea kept flat.
--
--   vessa examples/light.lua [OUTPUT.png] [SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "light.png"
size = tonumber(size) or 256

local land = noise.planemap(noise.Perlin { seed = 3, octaves = 6 }, { 0, 4, 0, 4 }, size, size)
local colours = {
  { -1.0, 10, 40, 110 }, { 0, 60, 140, 200 }, { 0.0001, 200, 190, 130 }, { 0.05, 80, 140, 60 },
  { 0.5, 120, 100, 80 }, { 0.8, 240, 240, 245 },
}
local lights = {
  { model = "noiseutils" }, -- flat ground at half the colour
  true, -- flat ground at its colour
  { water = 0 }, -- and the sea as its surface, not its floor
}

local img = noise.image.new(size * #lights, size)
for i, light in ipairs(lights) do
  local panel = noise.render(land, noise.image.new(size, size), { gradient = colours, light = light })
  for y = 0, size - 1 do
    for x = 0, size - 1 do img:set((i - 1) * size + x, y, panel:get(x, y)) end
  end
end
img:save(output)
print(string.format("Wrote %s (%d x %d)", output, size * #lights, size))
