-- A seamless texture: one tile of billowy noise, lit as a relief, shown
-- 2 x 2 to prove that its edges meet without a seam.
--
--   vessa examples/tile.lua [OUTPUT.png] [TILE SIZE]
local noise = require "noisebind"
local output, size = ...
output = output or "tile.png"
size = tonumber(size) or 256

-- A frequency a third past a whole number: the four copies of the noise
-- that a seamless map blends (below) then never share their lattice, at
-- any octave (lacunarity 2), which a whole number of cells across the tile
-- would show as a fine grid.
local billow = noise.Billow { seed = 11, frequency = 10 / 3, octaves = 4, quality = "best" }

-- A seamless map blends each value with the noise one tile further along
-- each axis, so that the left edge continues the right and the top the
-- bottom.
local tile = noise.planemap(billow, { 0, 1, 0, 1 }, size, size, { seamless = true })

-- Coloured by height, and lit from the north-west with neighbours taken
-- across the edges (wrap), so that the light tiles too.
local picture = noise.image.new(size, size)
noise.render(tile, picture, {
  gradient = {
    { -1.0, 60, 30, 20 },
    { -0.2, 150, 80, 40 },
    { 0.3, 220, 170, 90 },
    { 1.0, 255, 240, 200 },
  },
  light = { azimuth = 135 },
  wrap = true,
})

-- The tile four times over.
local img = noise.image.new(size * 2, size * 2)
for y = 0, size - 1 do
  for x = 0, size - 1 do
    local r, g, b = picture:get(x, y)
    for _, corner in ipairs { { 0, 0 }, { size, 0 }, { 0, size }, { size, size } } do
      img:set(corner[1] + x, corner[2] + y, r, g, b)
    end
  end
end
img:save(output)
print(string.format("Wrote %s (a %d x %d tile, 2 x 2)", output, size, size))
