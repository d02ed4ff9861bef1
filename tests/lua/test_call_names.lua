-- Errors of the noise table's functions name the function and count the
-- arguments the same way however they are called: with ':' or '.', under
-- pcall, in a tail call. Run through vessa and through the module in every
-- Lua.
local noise = require "noisebind"
local T = dofile("tests/lua/testlib.lua")
local unpack = table.unpack or unpack

-- The message without the position LuaJIT and Lua put in front.
local function message_of(ok, err)
  T.check(not ok, "the call succeeded")
  return (tostring(err):gsub("^[^:]*:%d+: ", ""))
end

local m = noise.planemap(noise.Const(), { 0, 1, 0, 1 }, 4, 3)
local img = noise.image.new(4, 3)
local p = noise.Perlin()
local curve = noise.Curve()
local unit = { 0, 1, 0, 1 }

-- Each case: the message, the function and its arguments for pcall, and
-- the same call as a tail call, written so that every Lua names it the same.
local N = noise.LibNoise
local named = {
  { "bad argument #1 to 'planemap' (a noise object or a LibNoise function of a point expected, got nil)",
    { noise.planemap, nil, unit, 4, 4 }, function() return noise.planemap(nil, unit, 4, 4) end },
  { "bad argument #5 to 'spheremap' (unknown option 'seamless')",
    { noise.spheremap, p, unit, 4, 4, { seamless = true } },
    function() return noise.spheremap(p, unit, 4, 4, { seamless = true }) end },
  { "bad argument #2 to 'grid' (number or range {from, to, count} expected, got string)",
    { noise.grid, N.SCurve3, "0" }, function() return noise.grid(N.SCurve3, "0") end },
  { "bad argument #2 to 'render' (image expected, got no value)", { noise.render, m },
    function() return noise.render(m) end },
  { "bad argument #1 to 'normalmap' (map expected, got number)", { noise.normalmap, 1 },
    function() return noise.normalmap(1) end },
  { "bad argument #1 to 'Abs' (noise object expected, got number)", { noise.Abs, 5 },
    function() return noise.Abs(5) end },
  { "bad argument #1 to 'new' (number expected, got string)", { noise.image.new, "a", 1 },
    function() return noise.image.new("a", 1) end },
  -- Methods: self is not counted, as with ':'.
  { "bad argument #1 to 'get' (number expected, got string)", { m.get, m, "a", 0 },
    function() return m:get("a", 0) end },
  { "calling 'get' on bad self (map expected, got userdata)", { m.get, img, 0, 0 } },
  { "bad argument #1 to 'savepng' (string expected, got no value)", { m.savepng, m },
    function() return m:savepng() end },
  { "bad argument #1 to 'set' (number expected, got string)", { img.set, img, "a", 0, 0, 0, 0 },
    function() return img:set("a", 0, 0, 0, 0) end },
  { "bad argument #1 to 'calc' (number expected, got string)", { p.calc, p, "x", 0, 0 },
    function() return p:calc("x", 0, 0) end },
  { "calling 'calc' on bad self (noise object expected, got table)", { p.calc, {}, 0, 0, 0 } },
  { "bad argument #1 to 'setsource' (Perlin has sources 1 to 0, got 1)", { p.setsource, p, 1 },
    function() return p:setsource(1) end },
  { "bad argument #1 to 'addpoint' (number expected, got no value)", { curve.addpoint, curve },
    function() return curve:addpoint() end },
}

local cases = {}
for _, case in ipairs(named) do
  local expected, call, tail = case[1], case[2], case[3]
  cases[#cases + 1] = { expected, function()
    local n = 1
    for k in pairs(call) do n = math.max(n, k) end
    T.eq(message_of(pcall(unpack(call, 1, n))), expected, "under pcall")
    if tail then T.eq(message_of(pcall(tail)), expected, "in a tail call") end
  end }
end
T.run(cases)
