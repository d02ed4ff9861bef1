-- Maps at the size limit, through vessa and the LuaJIT module: LuaJIT caps
-- a userdata below 2 GiB, so a map's values live outside it; and temporary
-- maps, whose values the collector does not see, still go in bounded memory.
local noise = require "noisebind"
local T = dofile("tests/lua/testlib.lua")

-- The resident memory of this process in MiB, from Linux's /proc.
local function residentMiB()
  local file = assert(io.open("/proc/self/statm"))
  local _, resident = file:read("*n", "*n")
  file:close()
  return resident * 4096 / 2 ^ 20
end

T.run({
  { "a plane of 2^28 values", function()
    local m = noise.planemap(noise.Const{ value = 0.25 }, { 0, 1, 0, 1 }, 16384, 16384)
    T.eq(tostring(m), "map (16384 x 16384)", "size")
    T.eq(m:get(16383, 16383), 0.25, "last value")
    m:set(0, 0, -1)
    T.eq(select(1, m:range()), -1, "lowest")
    -- 2 GiB of float64 is more than LuaJIT's longest string: refused before
    -- any work, with our own message.
    local ok, message = pcall(function() local r = m:bytes("f64"); return r end)
    T.check(not ok and message:find("bad argument #1 to 'bytes' (f64 values of this map take "
                                    .. "2147483648 bytes, above the longest string (2147483392))", 1, true),
            tostring(message))
  end },
  { "a grid of 2^28 values", function()
    collectgarbage()
    local m = noise.grid(noise.LibNoise.InterpolateLinear, { 0, 1, 16384 }, { 0, 1, 16384 }, 0.5)
    T.eq(tostring(m), "map (16384 x 16384)", "size")
    T.eq(m:get(16383, 16383), 1, "last value")
  end },
  { "one more value is refused", function()
    local ok, message = pcall(noise.planemap, noise.Const(), { 0, 1, 0, 1 }, 16384, 16385)
    T.check(not ok and message:find("at most 268435456 values", 1, true), tostring(message))
  end },
  { "temporaries are collected", function()
    collectgarbage()
    local before = residentMiB()
    -- 2 GiB of values in all, 32 MiB at a time.
    for _ = 1, 64 do noise.planemap(noise.Const(), { 0, 1, 0, 1 }, 2048, 2048, { threads = 1 }) end
    local grown = residentMiB() - before
    T.check(grown < 768, string.format("%.0f MiB kept by temporary maps", grown))
  end },
})
