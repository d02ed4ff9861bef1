-- The noisebind command against the noise table: the same graph files give
-- the same values, bytes and figures; and its exit statuses and messages.
local noise = require "noisebind"
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

local command = assert(os.getenv("NOISEBIND"), "NOISEBIND names the command")
local graphs = "examples/graphs/"
local scratch = T.scratch()

local function run(words)
  local line = { T.quote(command) }
  for _, word in ipairs(words) do line[#line + 1] = T.quote(word) end
  return T.sh(table.concat(line, " "))
end

local function outputs(file)
  return (noise.decode(T.read(graphs .. file)))
end

-- The command's file for `words` (with -o added), or an error with its message.
local function rendered(words, name)
  local path = scratch .. "/" .. name
  words[#words + 1] = "-o"
  words[#words + 1] = path
  local status, _, stderr = run(words)
  T.eq(status, 0, "exit status (" .. stderr .. ")")
  local bytes = T.read(path)
  os.remove(path)
  return bytes
end

-- Each: a file, its output, the builder and its bounds, the size, the
-- builder's options and the command's words for them.
local areas = {
  { "planet_big.json", "planet", "spheremap", { -60, 75, -180, 180 }, 48, 24, nil, {} },
  { "planet_big.json", "rivers", "spheremap", { -90, 90, -30, 30 }, 17, 33, nil, {} },
  { "world.json", "world", "cylindermap", { -90, 270, -1, 1 }, 40, 20, nil, {} },
  { "love_terrain.json", "main", "planemap", { -3, 5, 0.25, 2.5 }, 37, 21,
    { seamless = true, positions = "noiseutils" }, { "--seamless", "--positions", "noiseutils" } },
  { "luanti_terrain.json", "land", "planemap", { 0, 100, 0, 100 }, 32, 32, { threads = 3 },
    { "--threads", "3" } },
}
local flags = { planemap = "--plane", spheremap = "--sphere", cylindermap = "--cylinder" }

local function words(area, ...)
  local file, output, builder, bounds, width, height, _, extra = unpack(area)
  local list = { "render", graphs .. file, "--output", output, flags[builder],
                 table.concat(bounds, ","), "--size", width .. "x" .. height }
  for _, word in ipairs(extra) do list[#list + 1] = word end
  for _, word in ipairs({ ... }) do list[#list + 1] = word end
  return list
end

local function scriptMap(area)
  local file, output, builder, bounds, width, height, options = unpack(area)
  return noise[builder](outputs(file)[output], bounds, width, height, options)
end

local cases = {}
for _, area in ipairs(areas) do
  local label = area[1] .. " " .. area[2] .. " on a " .. area[3]
  cases[#cases + 1] = { label .. ": every value, every format", function()
    local m = scriptMap(area)
    T.check(rendered(words(area), "v.f64") == m:bytes("f64"), "f64 values differ")
    T.check(rendered(words(area), "v.f32") == m:bytes("f32"), "f32 values differ")
    T.check(rendered(words(area), "v.r16") == m:bytes("u16"), "r16 levels differ")
    T.check(rendered(words(area, "--range", "-0.5,0.25"), "v.r16") == m:bytes("u16", -0.5, 0.25),
            "r16 levels of a range differ")
    T.check(rendered(words(area, "--format", "png16"), "h.png") == m:encodepng(), "png16 differs")
  end }
  cases[#cases + 1] = { label .. ": the picture, gradient and light", function()
    local m = scriptMap(area)
    local img = (noise.image or image).new(m:width(), m:height())
    local stops = { { -0.5, 10, 20, 80 }, { 0, 200, 190, 140, 128 }, { 0.6, 255, 255, 255 } }
    local gradient = scratch .. "/stops.json"
    T.write(gradient, "[[-0.5, 10, 20, 80], [0, 200, 190, 140, 128], [0.6, 255, 255, 255]]")
    noise.render(m, img, { gradient = stops,
                           light = { azimuth = 10, contrast = 3, color = { 255, 240, 200 } },
                           wrap = area[7] ~= nil and area[7].seamless or false })
    local png = rendered(words(area, "--gradient", gradient, "--light",
                               "azimuth=10,contrast=3,color=255/240/200"), "p.png")
    T.check(png == img:encode(), "the pictures differ")
  end }
end

cases[#cases + 1] = { "stats: the figures of m:stats", function()
  local area = areas[3]
  local list = words(area, "--bins", "7", "--json")
  list[1] = "stats"
  local status, stdout, stderr = run(list)
  T.eq(status, 0, "exit status (" .. stderr .. ")")
  local s = scriptMap(area):stats(7)
  for _, key in ipairs({ "count", "nan", "infinite", "min", "max", "mean" }) do
    T.eq(tonumber(stdout:match('"' .. key .. '": ([^,\n]+)')), s[key], key)
  end
  local histogram = stdout:match('"histogram": %[([^%]]*)%]'):gsub("%s", "")
  T.eq(histogram, table.concat(s.histogram, ","), "histogram")
end }

cases[#cases + 1] = { "exit statuses and messages", function()
  local bad = scratch .. "/bad.json"
  T.write(bad, '{"format": "noisebind-graph", "version": 1, "nodes": [}')
  local half = scratch .. "/half.json"
  T.write(half, T.read(graphs .. "love_terrain.json"):gsub('"sources": %["[^"]*"', '"sources": [null', 1))
  local plane = { "--plane", "0,1,0,1", "--size", "4x4", "-o", scratch .. "/x.f32" }
  local function render(file, ...)
    local list = { "render", file, ... }
    for _, word in ipairs(plane) do list[#list + 1] = word end
    return list
  end
  local world = graphs .. "world.json"
  local love = graphs .. "love_terrain.json"
  local expected = {
    { { "check", love }, 0, "", love .. ": 9 nodes, output main\n" },
    { { "check", bad }, 1, bad .. ":1:55: syntax error" },
    { { "check", half }, 1, half .. ": output 'main': " },
    { { "check", scratch .. "/none.json" }, 1, "noisebind: cannot read '" .. scratch .. "/none.json'" },
    { render(world), 2, "noisebind: " .. world .. " has 2 outputs ('rivers', 'world'): choose one with --output" },
    { render(world, "--output", "sea"), 2, "has no output 'sea' (it has 'rivers', 'world')" },
    { { "render", love, "--plane", "1,0,0,1", "--size", "4x4", "-o", "x.f32" }, 2,
      "noisebind: --plane: x0 must be below x1, got 1 and 0" },
    { { "render", love, "--sphere", "-90,90,0,181", "--size", "4x4", "-o", "x.f32" }, 2,
      "--sphere: west and east must lie within -180 and 180, got 0 and 181" },
    { { "render", love, "--plane", "0,1,0", "--size", "4x4", "-o", "x.f32" }, 2,
      "--plane: expected 4 numbers separated by commas, got '0,1,0'" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x0", "-o", "x.f32" }, 2,
      "--size: expected WIDTHxHEIGHT, each from 1 to 1000000, got '4x0'" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "-o", "x.txt" }, 2,
      "name a .png, .r16, .f32 or .f64 file, or give --format" },
    { { "render", love, "--cylinder", "0,1,0,1", "--seamless", "--size", "4x4", "-o", "x.f32" }, 2,
      "--seamless: planes only" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "--range", "0,1", "-o", "x.f32" }, 2,
      "--range: png16 and r16 only" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "--light", "glow=1", "-o", "x.png" }, 2,
      "--light: expected default or NAME=VALUE" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "--light", "elevation=91", "-o", "x.png" },
      2, "--light: elevation must be a number from 0 to 90, got '91'" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "--gradient", "sepia", "-o", "x.png" }, 2,
      "--gradient: no gradient is called 'sepia'" },
    { { "render", love, "--plane", "0,1,0,1", "--size", "4x4", "-o", scratch .. "/no/x.f32" }, 1,
      "cannot write '" .. scratch .. "/no/x.f32'" },
    { { "render", love, "--size", "4x4", "-o", "x.f32" }, 2, "Exactly 1 option from [--plane,--sphere,--cylinder]" },
    { { "stats", love, "--bins", "0" }, 2, "--bins" },
    { { "paint", love }, 2, "paint" },
    { { "render", "--help" }, 0, "", "Usage: noisebind render" },
    { { "--version" }, 0, "", "1.0.0" },
  }
  for _, case in ipairs(expected) do
    local status, stdout, stderr = run(case[1])
    local label = table.concat(case[1], " ")
    T.eq(status, case[2], "exit status of " .. label .. " (" .. stderr .. ")")
    T.check(stderr:find(case[3], 1, true), label .. ": " .. T.show(stderr) .. " lacks " .. case[3])
    T.eq(select(2, stderr:gsub("\n", "")), case[2] == 0 and 0 or 1, "messages are one line")
    if case[4] then T.check(stdout:find(case[4], 1, true), label .. ": " .. T.show(stdout)) end
  end
end }

cases[#cases + 1] = { "schema: the classes' JSON", function()
  local status, stdout = run({ "schema", "--compact" })
  T.eq(status, 0)
  T.eq(select(2, stdout:gsub("\n", "")), 1, "one line")
  T.check(stdout:find('"RidgedMulti"', 1, true), "RidgedMulti is described")
end }

T.run(cases)
T.remove_tree(scratch)
