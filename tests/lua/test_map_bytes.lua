-- Maps and images as bytes, through vessa: every raw format, strings equal
-- to the files, paths with a NUL byte refused, and scaling at the ends of
-- the double range with infinities at the ends of every scale.
local noise = require "noisebind"
local T = dofile("tests/lua/testlib.lua")
local ffi = require("ffi")

local dir = T.scratch()
local A = "bad argument #"

-- A map of one row holding `values`.
local function row(values)
  local m = noise.planemap(noise.Const(), { 0, 1, 0, 1 }, #values, 1)
  for i, v in ipairs(values) do m:set(i - 1, 0, v) end
  return m
end

-- The numbers in `bytes` read as C type `ctype` (little-endian here).
local function numbers(bytes, ctype)
  local count = #bytes / ffi.sizeof(ctype)
  local p = ffi.cast("const " .. ctype .. "*", bytes)
  local t = {}
  for i = 0, count - 1 do t[#t + 1] = tonumber(p[i]) end
  return t
end

local function same(actual, expected, label)
  T.eq(#actual, #expected, label .. " count")
  for i = 1, #expected do T.eq(actual[i], expected[i], label .. " " .. i) end
end

local function errorOf(f, ...)
  local ok, message = pcall(f, ...)
  T.check(not ok, "the call succeeded")
  return (message:gsub("^[^:]*:%d+: ", ""))
end

local inf = math.huge
local values = { -1, 0.1, 0.5, 1e300, -inf, 0 / 0 }

T.run({
  { "bytes in every format", function()
    local m = row(values)
    local f32 = m:bytes()
    T.eq(#f32, 24, "f32 size")
    T.eq(f32, m:bytes("f32"), "f32 is the default")
    same(numbers(f32, "float"), { -1, T.f32(0.1), 0.5, inf, -inf, 0 / 0 }, "f32")
    same(numbers(m:bytes("f64"), "double"), values, "f64")
    -- The finite range, -1 to 1e300, by default; +inf the top, -inf and NaN 0.
    same(numbers(m:bytes("u16"), "uint16_t"), { 0, 0, 0, 65535, 0, 0 }, "u16 of the map's range")
    same(numbers(m:bytes("u16", -1, 1), "uint16_t"), { 0, 36044, 49151, 65535, 0, 0 }, "u16")
    same(numbers(m:bytes("u8", -1, 1), "uint8_t"), { 0, 140, 191, 255, 0, 0 }, "u8")
  end },
  { "saveraw writes what bytes gives", function()
    local m = row(values)
    local path = dir .. "/h.raw"
    m:saveraw(path)
    T.eq(T.read(path), m:bytes(), "the default, f32")
    for _, format in ipairs({ "f32", "f64", "u16", "u8" }) do
      m:saveraw(path, format)
      T.eq(T.read(path), m:bytes(format), format)
    end
    m:saveraw(path, "u16", -1, 1)
    T.eq(T.read(path), m:bytes("u16", -1, 1), "u16 with a range")
  end },
  { "encodepng and encode give the files' bytes", function()
    local m = row({ 0, 0.25, 1 })
    local path = dir .. "/h.png"
    m:savepng(path)
    T.eq(m:encodepng(), T.read(path), "the map's range")
    m:savepng(path, -1, 2)
    T.eq(m:encodepng(-1, 2), T.read(path), "a range")
    T.eq(m:encodepng():sub(2, 4), "PNG", "a PNG")
    local img = noise.image.new(3, 2)
    img:set(0, 0, 10, 20, 30)
    img:set(2, 1, 255)
    img:save(path)
    T.eq(img:encode(), T.read(path), "image")
    local rgba = img:bytes()
    T.eq(#rgba, 24, "rgba size")
    T.eq(rgba:sub(1, 4), "\10\20\30\255", "first pixel")
    T.eq(rgba:sub(5, 8), "\0\0\0\255", "second pixel")
    T.eq(rgba:sub(21, 24), "\255\255\255\255", "last pixel, rows top-down")
  end },
  { "no overflow between finite numbers", function()
    local m = row({ -1e308, 0, 1e308 })
    same(numbers(m:bytes("u16"), "uint16_t"), { 0, 32768, 65535 }, "u16 of ±1e308")
    m:rescale(0, 1)
    same(m:flat(), { 0, 0.5, 1 }, "rescale(0, 1) of ±1e308")
    m = row({ 0, 0.5, 1 })
    m:rescale(-1e308, 1e308)
    same(m:flat(), { -1e308, 0, 1e308 }, "rescale(-1e308, 1e308)")
    -- The highest value white, and so is +inf.
    same(numbers(row({ 0, 1, inf }):bytes("u16"), "uint16_t"), { 0, 65535, 65535 }, "u16 with inf")
    local img = noise.image.new(1, 1)
    noise.render(row({ 0 }), img, { gradient = { { -1e308, 0, 0, 0 }, { 1e308, 255, 255, 255 } } })
    T.eq(select(1, img:get(0, 0)), 128, "a gradient from -1e308 to 1e308 at 0")
  end },
  { "infinities go to the ends of every scale", function()
    local m = row({ inf, 2, -inf, 0 / 0, 4 })
    m:rescale(0, 1)
    same(m:flat(), { 1, 0, 0, 0 / 0, 1 }, "rescale")
    local lowest, highest = row({ inf, 2, -inf }):range()
    T.eq(lowest, -inf, "range keeps infinities")
    T.eq(highest, inf, "range keeps infinities")
  end },
})

local m = row({ 1, 2 })
local img = noise.image.new(1, 1)
local formats = 'format must be "f32", "f64", "u16" or "u8", got '
-- Every refusal: name, message, call. The calls are method calls and no
-- tail calls, so that errors name the method.
local bad = {
  { "savepng NUL", A .. "1 to 'savepng' (path contains a NUL byte)",
    function() local r = m:savepng(dir .. "/v.png\0.bak"); return r end },
  { "saveraw NUL", A .. "1 to 'saveraw' (path contains a NUL byte)",
    function() local r = m:saveraw(dir .. "/v.raw\0x"); return r end },
  { "bytes format", A .. "1 to 'bytes' (" .. formats .. '"f16")',
    function() local r = m:bytes("f16"); return r end },
  { "bytes format NUL", A .. "1 to 'bytes' (" .. formats .. '"u8")',
    function() local r = m:bytes("u8\0"); return r end },
  { "bytes format type", A .. "1 to 'bytes' (" .. formats .. "number)",
    function() local r = m:bytes(16); return r end },
  { "bytes range for floats", A .. "2 to 'bytes' (low and high are for \"u16\" and \"u8\" only)",
    function() local r = m:bytes("f64", 0, 1); return r end },
  { "bytes range order", A .. "3 to 'bytes' (high must be above low (1), got 1)",
    function() local r = m:bytes("u16", 1, 1); return r end },
  { "bytes range NaN", A .. "2 to 'bytes' (low must be finite, got nan)",
    function() local r = m:bytes("u8", 0 / 0, 1); return r end },
  { "saveraw format", A .. "2 to 'saveraw' (" .. formats .. '"raw")',
    function() local r = m:saveraw(dir .. "/x.raw", "raw"); return r end },
  { "encodepng range", A .. "2 to 'encodepng' (high must be above low (2), got 1)",
    function() local r = m:encodepng(2, 1); return r end },
  { "bytes self", A .. "1 to 'bytes' (map expected, got userdata)",
    function() local impostor = { bytes = m.bytes }; local r = impostor.bytes(img); return r end },
  { "encode self", A .. "1 to 'encode' (image expected, got userdata)",
    function() local impostor = { encode = img.encode }; local r = impostor.encode(m); return r end },
}
local cases = {}
for _, case in ipairs(bad) do
  cases[#cases + 1] = { case[1], function() T.eq(errorOf(case[3]), case[2], "error") end }
end
cases[#cases + 1] = { "nothing written by a path cut short", function()
  T.eq(io.open(dir .. "/v.png"), nil, "v.png")
  T.eq(io.open(dir .. "/v.raw"), nil, "v.raw")
end }
T.run(cases)
T.remove_tree(dir)
