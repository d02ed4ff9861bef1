-- The maps every host test makes, and their digests: the same calls in LÖVE,
-- in Luanti (main and async environments) and in plain luajit must give the
-- same digests, bit for bit. Each host loads this file with its own loader
-- and passes its noise table.
-- LuaJIT opens its bit library as a global; a host may have no require.
local bit = rawget(_G, "bit") or require("bit")

local cases = {}

-- 32-bit FNV-1a over each value's exact decimal form ("%.17g" reads back
-- as the same double). The product is split so that every step is exact.
local function digest(values, count)
  local h = 0x811c9dc5
  for i = 1, count do
    local text = string.format("%.17g;", values[i])
    for k = 1, #text do
      h = bit.bxor(h, text:byte(k))
      h = bit.tobit(bit.lshift(h, 24) + h * 403)
    end
  end
  return bit.tohex(h)
end
cases.digest = digest

-- Luanti's map chunk at the origin: 80 nodes a side from -32.
cases.chunk = { minp = { x = -32, y = -32, z = -32 }, size = 80 }

function cases.terrain(noise)
  return noise.Perlin { octaves = 6, frequency = 1 / 64, seed = 7 }
end

function cases.caves(noise)
  return noise.Perlin { octaves = 3, frequency = 1 / 32, seed = 11 }
end

-- Bounds of the chunk's columns (x, then z) and of its nodes (x, y, z).
local function columns(minp, size)
  return { minp.x, minp.x + size, minp.z, minp.z + size }
end
local function nodes(minp, size)
  return { minp.x, minp.x + size, minp.y, minp.y + size, minp.z, minp.z + size }
end

function cases.heightmap(noise, minp, size)
  return noise.planemap(cases.terrain(noise), columns(minp, size), size, size)
end

-- nil and the missing function's name where the module has no volumes.
function cases.volume(noise, minp, size)
  if not noise.volumemap then return nil, "noise.volumemap" end
  return noise.volumemap(cases.caves(noise), nodes(minp, size), size, size, size)
end

-- A node is stone where the terrain's height and the caves' density say so;
-- the flat tables are x fastest, then z (heights) or y then z (density).
function cases.is_stone(heights, density, size, i, j, k, y)
  local h = heights[k * size + i + 1] * 16
  local d = density and density[(k * size + j) * size + i + 1] * 8 or 0
  return h + d > y
end

-- The stones of a chunk, counted from its maps.
function cases.count_stone(heights, density, minp, size)
  local count = 0
  for k = 0, size - 1 do
    for j = 0, size - 1 do
      for i = 0, size - 1 do
        if cases.is_stone(heights, density, size, i, j, k, minp.y + j) then count = count + 1 end
      end
    end
  end
  return count
end

-- name -> digest of every case this module can make, and the names of the
-- functions it lacks.
function cases.digests(noise)
  local out, missing = {}, {}
  local minp, size = cases.chunk.minp, cases.chunk.size
  local heights = cases.heightmap(noise, minp, size)
  out.heightmap = digest(heights:flat(), size * size)
  local volume, lack = cases.volume(noise, minp, size)
  if volume then
    out.volume = digest(volume:flat(), size * size * size)
  else
    missing[#missing + 1] = lack
  end
  out.stone = tostring(cases.count_stone(heights:flat(), volume and volume:flat(), minp, size))
  local perlin = noise.planemap(noise.LibNoise.M_Perlin.Calc, { 0, 2, 0, 2 }, 32, 32)
  out.libnoise = digest(perlin:flat(), 32 * 32)
  local seeded = noise.planemap(noise.Perlin { seed = 2973465671528421400 }, { 0, 1, 0, 1 }, 16, 16)
  out.seed64 = digest(seeded:flat(), 16 * 16)
  return out, missing
end

return cases
