-- Every example runs at a small size and writes a whole PNG of the size it
-- promises, whatever earlier scripts left in the shared generators, and
-- together the examples use every table of LibNoise.

local vessa = assert(os.getenv("VESSA"), "VESSA is not set")
local extension = assert(os.getenv("EXTENSION"), "EXTENSION is not set")

-- name, size argument, expected width and height
local examples = {
  { "demo", 24, 24, 24 },
  { "planet", 40, 40, 20 },
  { "cells", 16, 32, 16 },
  { "marble", 16, 48, 16 },
  { "terraces", 16, 32, 32 },
  { "profile", 64, 64, 16 * 2 + 2 * 3 },
  { "primitives", 64, 64, 32 },
  { "world", 40, 40, 20 },
  { "tile", 16, 32, 32 },
  { "planet_big", 40, 40, 20 },
  { "light", 16, 48, 16 },
  { "libnoise", 16, 16, 16 },
}

local function quote(word)
  return "'" .. word:gsub("'", "'\\''") .. "'"
end

local function read(path)
  local file = assert(io.open(path, "rb"))
  local contents = file:read("*a")
  file:close()
  return contents
end

local function write(path, contents)
  local file = assert(io.open(path, "wb"))
  file:write(contents)
  file:close()
end

local function succeeded(status)
  return status == 0 or status == true
end

local function big_endian(bytes, at)
  local a, b, c, d = bytes:byte(at, at + 3)
  return ((a * 256 + b) * 256 + c) * 256 + d
end

-- The signature, the header first and the end chunk last: a PNG written whole.
local function check_png(path, width, height)
  local png = read(path)
  assert(png:sub(1, 8) == "\137PNG\r\n\26\n", path .. " is not a PNG")
  assert(png:sub(13, 16) == "IHDR", path .. " does not start with its header")
  local w, h = big_endian(png, 17), big_endian(png, 21)
  assert(w == width and h == height,
    string.format("%s is %d x %d, expected %d x %d", path, w, h, width, height))
  assert(png:sub(-12) == "\0\0\0\0IEND\174\66\96\130", path .. " is cut short")
  return png
end

local scratch = os.tmpname()

-- Leaves every setting of the shared instances far from what any example
-- wants, so that an example which forgets one draws something else.
local scramble = scratch .. "-scramble.lua"
write(scramble, [[
local N = LibNoise
for _, m in ipairs { N.M_Perlin, N.M_Billow, N.M_RidgedMulti } do
  m.SetSeed(1234); m.SetFrequency(7.7); m.SetOctaveCount(2); m.SetLacunarity(3.3)
  m.SetNoiseQuality(N.C_QUALITY_FAST)
end
N.M_Perlin.SetPersistence(0.9); N.M_Billow.SetPersistence(0.9)
N.M_Voronoi.SetSeed(99); N.M_Voronoi.SetFrequency(0.3)
N.M_Voronoi.SetDisplacement(5); N.M_Voronoi.EnableDistance(true)
N.M_Cylinders.SetFrequency(9.5); N.M_Spheres.SetFrequency(9.5)
N.M_Turbulence.SetSeed(77); N.M_Turbulence.SetFrequency(9)
N.M_Turbulence.SetPower(3); N.M_Turbulence.SetRoughness(1)
N.M_Curve.Clear(); N.M_Curve.AddPoint(0.123, 5)
N.M_Terrace.Clear(); N.M_Terrace.AddPoint(-0.3); N.M_Terrace.AddPoint(0.77)
N.M_Exponent.SetExponent(0.2)
N.Line.SetModule(N.C_MODULE_VORONOI); N.Line.SetAttenuation(true)
N.Line.SetStartPoint(5, 5, 5); N.Line.SetEndPoint(-3, 2, 1)
N.Plane.SetModule(N.C_MODULE_CHECKERBOARD)
N.Sphere.SetModule(N.C_MODULE_SPHERES)
N.Cylinder.SetModule(N.C_MODULE_CYLINDERS)
]])

local function run(example, output, before)
  local log = scratch .. "-log"
  local command = quote(vessa) .. " --extension " .. quote(extension)
    .. (before and " --before " .. quote(before) or "")
    .. " examples/" .. example[1] .. ".lua " .. quote(output) .. " " .. example[2]
    .. " > " .. quote(log) .. " 2>&1"
  local status = os.execute(command)
  local printed = read(log)
  os.remove(log)
  assert(succeeded(status), example[1] .. " failed:\n" .. printed)
  return printed
end

for _, example in ipairs(examples) do
  local name, width, height = example[1], example[3], example[4]
  local fresh, scrambled = scratch .. "-" .. name .. ".png", scratch .. "-" .. name .. "-2.png"
  local printed = run(example, fresh)
  assert(printed:find(fresh, 1, true), name .. " does not say where the picture went")
  local png = check_png(fresh, width, height)
  run(example, scrambled, scramble)
  assert(read(scrambled) == png, name .. " depends on settings it does not make")
  os.remove(fresh)
  os.remove(scrambled)
end
os.remove(scramble)
os.remove(scratch)

-- Every table of LibNoise and every primary function, named in some example.
local sources = {}
for _, example in ipairs(examples) do
  sources[#sources + 1] = read("examples/" .. example[1] .. ".lua")
end
local all = table.concat(sources, "\n")
for key, value in pairs(LibNoise) do
  if type(value) ~= "number" then
    local named = all:find("N." .. key, 1, true) or all:find('N["' .. key .. '"]', 1, true)
    assert(named, "no example uses LibNoise." .. key)
  end
end
