-- Noise objects through vessa: defaults, fields, sources, lifetime, and
-- every kind of bad input, each refused with a message naming the object
-- and the setting, changing nothing.
local T = dofile("tests/lua/testlib.lua")

-- LuaJIT puts where the error was raised before the message.
local function checkerror(message, f, ...)
  local ok, err = pcall(f, ...)
  if ok then error("expected the error " .. T.show(message) .. ", but the call succeeded", 2) end
  err = tostring(err):gsub("^[^:]+:%d+: ", "")
  if err ~= message then
    error(string.format("expected the error %s, got %s", T.show(message), T.show(err)), 2)
  end
end

local function set(object, field, value) object[field] = value end
local function get(object, field) return object[field] end

local P = noise.Perlin

T.run {
  { "both ways to the same table", function()
    T.eq(require("noisebind"), noise, "require")
    T.eq(type(noise.Perlin), "function", "noise.Perlin")
    -- The module's file would be a second extension with settings of its own.
    package.cpath = (os.getenv("EXTENSION") or ""):gsub("[^/]*$", "lua/5.1/?.so") .. ";" .. package.cpath
    checkerror('noisebind.safe: not in a state that has the noise table already (require "noisebind" '
               .. 'gives it); noisebind.safe is for the Lua module', require, "noisebind.safe")
  end },

  { "libnoise's defaults, as the README gives them", function()
    for _, case in ipairs {
      { noise.Perlin(), { frequency = 1, lacunarity = 2, octaves = 6, persistence = 0.5,
                          quality = "standard", seed = 0 } },
      { noise.Billow(), { frequency = 1, lacunarity = 2, octaves = 6, persistence = 0.5,
                          quality = "standard", seed = 0 } },
      { noise.RidgedMulti(), { frequency = 1, lacunarity = 2, octaves = 6, quality = "standard",
                               seed = 0 } },
      { noise.Voronoi(), { displacement = 1, distance = false, frequency = 1, seed = 0 } },
      { noise.Cylinders(), { frequency = 1 } },
      { noise.Spheres(), { frequency = 1 } },
      { noise.Const(), { value = 0 } },
      { noise.Clamp(), { lower = -1, upper = 1 } },
      { noise.Exponent(), { exponent = 1 } },
      { noise.ScaleBias(), { scale = 1, bias = 0 } },
      { noise.Terrace(), { invert = false } },
      { noise.Select(), { lower = -1, upper = 1, falloff = 0 } },
      { noise.RotatePoint(), { x = 0, y = 0, z = 0 } },
      { noise.ScalePoint(), { x = 1, y = 1, z = 1 } },
      { noise.TranslatePoint(), { x = 0, y = 0, z = 0 } },
      { noise.Turbulence(), { frequency = 1, power = 1, roughness = 3, seed = 0 } },
    } do
      for field, value in pairs(case[2]) do
        T.eq(case[1][field], value, tostring(case[1]) .. "." .. field)
      end
    end
  end },

  { "fields are read and written; calc gives doubles", function()
    local p = P { seed = 7, octaves = 4 }
    p.frequency = 1.25
    p.octaves = 3
    T.eq(p.frequency, 1.25, "frequency")
    T.eq(p.octaves, 3, "octaves")
    T.eq(tostring(p), "Perlin (frequency 1.25, lacunarity 2, octaves 3, persistence 0.5, "
      .. "quality standard, seed 7)", "tostring")
    local c = noise.Const { value = 0.1 }
    T.eq(c:calc(0, 0, 0), 0.1, "a double, not narrowed")
    T.check(c:calc(0, 0, 0) ~= T.f32(0.1), "narrowed to float")
  end },

  { "objects are independent", function()
    local temperature, humidity = P { seed = 1 }, P { seed = 2, frequency = 3 }
    local t1 = temperature:calc(0.3, 0.2, 0.1)
    humidity.octaves = 2
    T.eq(temperature:calc(0.3, 0.2, 0.1), t1, "unchanged by another object")
    T.check(t1 ~= humidity:calc(0.3, 0.2, 0.1), "same value from different settings")
  end },

  { "sources are read and replaced", function()
    local a, b = P { seed = 1 }, P { seed = 2 }
    local add = noise.Add(a, b)
    T.eq(add:source(1), a, "source 1")
    T.eq(add:source(2), b, "source 2")
    local expected = a:calc(1, 2, 3) + b:calc(1, 2, 3)
    T.eq(add:calc(1, 2, 3), expected, "sum")
    add:setsource(2, a)
    T.eq(add:source(2), a, "replaced")
    T.eq(add:calc(1, 2, 3), a:calc(1, 2, 3) * 2, "sum of the new sources")
    add:setsource(2, nil)
    T.eq(add:source(2), nil, "cleared")
    checkerror("Add needs source 2", add.calc, add, 1, 2, 3)
  end },

  { "control points are given, added, read and cleared", function()
    local curve = noise.Curve(P(), { points = { { 1, 1 }, { -1, -1 }, { 0, 0.5 } } })
    checkerror("Curve needs at least 4 control points, has 3", curve.calc, curve, 0, 0, 0)
    curve:addpoint(0.5, 0)
    T.eq(#curve.points, 4, "count")
    T.eq(curve.points[1][1], -1, "sorted by input")
    T.eq(curve.points[3][2], 0, "output of 0.5")
    curve:calc(0, 0, 0)
    curve:clear()
    T.eq(#curve.points, 0, "cleared")
    local terrace = noise.Terrace(P(), { points = { 0.5, -1 } })
    T.eq(terrace.points[1], -1, "terrace sorted")
    terrace:makepoints(3)
    T.eq(terrace.points[2], 0, "made points")
    terrace.points = { 0, 1 }
    T.eq(#terrace.points, 2, "replaced")
  end },

  { "methods of one class called on an object of another", function()
    local curve, terrace = noise.Curve(), noise.Terrace(nil, { points = { -1, 1 } })
    for _, case in ipairs {
      { curve.addpoint, P(), 1, 2, "calling 'addpoint' on bad self (Curve expected, got Perlin)" },
      { curve.addpoint, terrace, 1, 2,
        "calling 'addpoint' on bad self (Curve expected, got Terrace)" },
      { curve.clear, terrace, "calling 'clear' on bad self (Curve expected, got Terrace)" },
      { curve.addpoint, 5, "calling 'addpoint' on bad self (Curve expected, got number)" },
      { terrace.addpoint, curve, 0, "calling 'addpoint' on bad self (Terrace expected, got Curve)" },
      { terrace.makepoints, P(), 3,
        "calling 'makepoints' on bad self (Terrace expected, got Perlin)" },
      { terrace.clear, noise.Add(), "calling 'clear' on bad self (Terrace expected, got Add)" },
      { curve.calc, {}, 0, 0, 0,
        "calling 'calc' on bad self (noise object expected, got table)" },
    } do
      local n = #case
      checkerror(case[n], (unpack or table.unpack)(case, 1, n - 1))
    end
    local ok, err = pcall(function() return curve.addpoint(P(), 1, 2) end)
    T.check(not ok and err:find("(Curve expected, got Perlin)", 1, true), tostring(err))
    T.eq(#terrace.points, 2, "terrace unchanged")
    T.eq(#curve.points, 0, "curve unchanged")
  end },

  { "a shorter userdata given a class's metatable is no object", function()
    local forged = newproxy and newproxy(false) or io.tmpfile()
    debug.setmetatable(forged, debug.getmetatable(noise.Curve()))
    for _, case in ipairs {
      { forged.calc, forged, 1, 2, 3, "calling 'calc' on bad self (noise object expected, got userdata)" },
      { forged.addpoint, forged, 1, 2,
        "calling 'addpoint' on bad self (Curve expected, got userdata)" },
      { get, forged, "points", "bad argument #1 to '__index' (noise object expected, got userdata)" },
      { noise.Add, forged, "bad argument #1 to 'Add' (noise object expected, got userdata)" },
    } do
      local n = #case
      checkerror(case[n], (unpack or table.unpack)(case, 1, n - 1))
    end
    forged = nil
    collectgarbage()
  end },

  { "sources stay alive as long as an object uses them", function()
    local add = noise.Add(P { seed = 3 }, noise.ScaleBias(P { seed = 4 }, { scale = 2 }))
    local before = add:calc(0.5, 0.25, 0.125)
    collectgarbage()
    collectgarbage()
    T.eq(add:calc(0.5, 0.25, 0.125), before, "after collection")
    -- replaced sources may go; the object keeps working
    for _ = 1, 50 do add:setsource(1, P { seed = 3 }) end
    collectgarbage()
    T.eq(add:calc(0.5, 0.25, 0.125), before, "after replacing and collecting")
  end },

  { "a missing source, at calc and at every model", function()
    local select = noise.Select(P(), P())
    for _, call in ipairs {
      function() return select:calc(0, 0, 0) end,
      function() return select:plane(0, 0) end,
      function() return select:sphere(0, 0) end,
      function() return select:cylinder(0, 0) end,
      function() return select:line(0.5, { 0, 0, 0 }, { 1, 1, 1 }) end,
      function() return noise.Abs(select):calc(0, 0, 0) end,
    } do
      checkerror("Select needs source 3", call)
    end
    checkerror("Displace needs source 2", function() return noise.Displace(P()):calc(0, 0, 0) end)
  end },

  { "cycles are refused when they are made", function()
    local a = noise.Abs(P())
    local b = noise.ScaleBias(a)
    local c = noise.Add(b, P())
    checkerror("Abs:setsource(1): the source uses this Abs, which would make a cycle",
      a.setsource, a, 1, c)
    checkerror("Abs:setsource(1): the source uses this Abs, which would make a cycle",
      a.setsource, a, 1, a)
    T.eq(a:source(1) ~= c, true, "unchanged")
    a:calc(0, 0, 0)
  end },

  { "sources that are not noise objects", function()
    checkerror("bad argument #2 to 'Add' (noise object expected, got table)",
      function() noise.Add(P(), {}) end)
    checkerror("bad argument #1 to 'Abs' (noise object expected, got number)",
      function() noise.Abs(5) end)
    checkerror("bad argument #1 to 'Abs' (noise object expected, got userdata)",
      function() noise.Abs(io.stdout) end)
    local add = noise.Add()
    checkerror("bad argument #2 to 'setsource' (noise object expected, got string)",
      function() add:setsource(1, "perlin") end)
    checkerror("bad argument #1 to 'setsource' (Add has sources 1 to 2, got 3)",
      function() add:setsource(3, P()) end)
    checkerror("bad argument #1 to 'source' (Add has sources 1 to 2, got 0.5)",
      function() add:source(0.5) end)
    checkerror("bad argument #3 to 'Add' (table expected, got number)",
      function() noise.Add(nil, nil, 4) end)
  end },

  { "unknown fields, when read, written or given", function()
    local p = P()
    checkerror("Perlin has no field 'octave'", set, p, "octave", 3)
    checkerror("Perlin has no field 'octave'", get, p, "octave")
    checkerror("Perlin has no field 'octave'", P, { octave = 3 })
    checkerror("Perlin has no field number (fields are named by strings)", P, { 3 })
    checkerror("Abs has no field 'points'", get, noise.Abs(), "points")
    checkerror("Add has no field 'addpoint'", get, noise.Add(), "addpoint")
  end },

  { "values of the wrong type", function()
    local p = P()
    checkerror("Perlin.octaves must be a number, got string", set, p, "octaves", "6")
    checkerror("Perlin.seed must be a number, got boolean", P, { seed = true })
    checkerror("Voronoi.distance must be a boolean, got number", noise.Voronoi, { distance = 1 })
    checkerror("Perlin.quality must be 'fast', 'standard' or 'best' (or 1 to 3), got good",
      set, p, "quality", "good")
    checkerror("Perlin.quality must be 'fast', 'standard' or 'best' (or 1 to 3), got table",
      set, p, "quality", {})
    checkerror("Curve.points must be a list of {input, output} pairs, got number",
      noise.Curve, nil, { points = 5 })
    checkerror("Curve.points must be a list of {input, output} pairs, item 2 is number",
      noise.Curve, nil, { points = { { 1, 2 }, 3 } })
    checkerror("Terrace.points must be a list of numbers, item 1 is string",
      noise.Terrace, nil, { points = { "1" } })
    checkerror("bad argument #1 to 'calc' (number expected, got string)",
      function() p:calc("x", 2, 3) end)
    checkerror("bad argument #3 to 'calc' (number expected, got no value)",
      function() p:calc(1, 2) end)
    checkerror("bad argument #2 to 'line' (start must be a list of 3 numbers {x, y, z}, "
      .. "item 3 is nil)", function() p:line(0.5, { 1, 2 }, { 1, 1, 1 }) end)
    checkerror("bad argument #4 to 'line' (boolean expected, got number)",
      function() p:line(0.5, { 0, 0, 0 }, { 1, 1, 1 }, 1) end)
    checkerror("bad argument #1 to 'calc' (noise object expected, got table)",
      function() p.calc({}, 1, 2, 3) end)
  end },

  { "values libnoise refuses change nothing", function()
    local p = P { octaves = 5 }
    for _, case in ipairs {
      { p, "octaves", 31, "Perlin.octaves must be an integer from 1 to 30, got 31" },
      { p, "octaves", 0, "Perlin.octaves must be an integer from 1 to 30, got 0" },
      { p, "octaves", 0 / 0, "Perlin.octaves must be an integer from 1 to 30, got nan" },
      { p, "octaves", math.huge, "Perlin.octaves must be an integer from 1 to 30, got inf" },
      { p, "frequency", 0 / 0, "Perlin.frequency must be a finite number, got nan" },
      { p, "lacunarity", -math.huge, "Perlin.lacunarity must be a finite number, got -inf" },
      { noise.RidgedMulti(), "octaves", 0, "RidgedMulti.octaves must be an integer from 1 to 30, got 0" },
      { noise.Turbulence(), "roughness", 40, "Turbulence.roughness must be an integer from 1 to 30, got 40" },
      { noise.Clamp(), "lower", 2, "Clamp.lower must be below upper, got 2" },
      { noise.Select(), "upper", -2, "Select.upper must be above lower, got -2" },
      -- equal bounds would abort the process inside libnoise
      { noise.Clamp(), "lower", 1, "Clamp.lower must be below upper, got 1" },
      { noise.Select(), "upper", -1, "Select.upper must be above lower, got -1" },
    } do
      local object, field, value, message = case[1], case[2], case[3], case[4]
      local before = tostring(object)
      checkerror(message, set, object, field, value)
      T.eq(tostring(object), before, message)
    end
    checkerror("Select.lower must be below upper, got 3",
      noise.Select, nil, nil, nil, { lower = 3, upper = 2 })
    local curve = noise.Curve(nil, { points = { { 0, 0 }, { 1, 1 } } })
    checkerror("Curve:addpoint(1, 5): already has a control point at that input",
      curve.addpoint, curve, 1, 5)
    checkerror("Curve.points has the same input twice", set, curve, "points", { { 2, 0 }, { 2, 1 } })
    T.eq(#curve.points, 2, "curve unchanged")
    checkerror("Curve:addpoint(nan, 1): must be finite numbers", curve.addpoint, curve, 0 / 0, 1)
    local terrace = noise.Terrace(nil, { points = { 0, 1 } })
    checkerror("Terrace:addpoint(0): already has a control point at that value",
      terrace.addpoint, terrace, 0)
    checkerror("Terrace:makepoints(1): must be an integer from 2 to 1024",
      terrace.makepoints, terrace, 1)
    checkerror("Terrace.points has the same value twice", set, terrace, "points", { 3, 3 })
    checkerror("Terrace.points would be more than 1024 control points", set, terrace, "points",
      (function() local t = {} for i = 1, 1025 do t[i] = i end return t end)())
    T.eq(#terrace.points, 2, "terrace unchanged")
  end },

  { "integers convert as LibNoise converts them; seeds wrap modulo 2^32", function()
    local p = P()
    for _, case in ipairs { { 6.9, 6 }, { -6.9, -6 }, { 2 ^ 31, -2 ^ 31 }, { -2 ^ 31 - 1, 2 ^ 31 - 1 },
                            { -2 ^ 40, 0 }, { 2 ^ 32 + 5.5, 5 }, { -(2 ^ 32) - 5.5, -5 },
                            { 2 ^ 53 - 1, -1 }, { 1e300, 0 }, { 2973465671528421400, 793057280 } } do
      p.seed = case[1]
      T.eq(p.seed, case[2], "seed " .. string.format("%.17g", case[1]))
      T.eq(P { seed = case[1] }.seed, case[2], "seed setting " .. string.format("%.17g", case[1]))
    end
    p.octaves = 2.99
    T.eq(p.octaves, 2, "octaves")
    checkerror("Perlin.octaves must be an integer from 1 to 30, got 4294967299", set, p, "octaves",
      2 ^ 32 + 3)
  end },

  { "64-bit seeds give distinct noise unless 2^32 apart", function()
    local base = 2973465671528421400
    for _, class in ipairs { "Perlin", "Billow", "RidgedMulti", "Voronoi", "Turbulence" } do
      local function value(seed)
        local object = class == "Turbulence" and noise.Turbulence(noise.Perlin(), { seed = seed })
          or noise[class] { seed = seed }
        return object:calc(0.3, 0.7, 1.1)
      end
      T.check(value(base) ~= value(base + 2048), class .. ": seeds 2048 apart give the same noise")
      T.eq(value(base + 2 ^ 32), value(base), class .. ": seeds 2^32 apart")
    end
    checkerror("Perlin.seed must be a finite number, got inf", set, P(), "seed", math.huge)
    checkerror("Voronoi.seed must be a finite number, got nan", noise.Voronoi, { seed = 0 / 0 })
    local p = P { seed = 3 }
    pcall(set, p, "seed", -math.huge)
    T.eq(p.seed, 3, "a refused seed changes nothing")
  end },

  { "settings are the table's own entries", function()
    local defaults = { octaves = 3 }
    checkerror("bad argument #1 to 'Perlin' (settings come from the table's own entries, not "
      .. "through __index)", P, setmetatable({}, { __index = defaults }))
    checkerror("bad argument #1 to 'Perlin' (settings come from the table's own entries, not "
      .. "through __index)", P, setmetatable({}, { __index = function() return 3 end }))
    -- Other metamethods do not reach the values read.
    local p = P(setmetatable({ seed = 5 }, { __newindex = error, __len = error }))
    T.eq(p.seed, 5, "seed from a table with other metamethods")
    checkerror("Perlin has no field 'octave'", P, setmetatable({ octave = 3 }, {}))
  end },

  { "metatables are hidden, one per class", function()
    T.eq(getmetatable(P()), "Perlin", "Perlin")
    T.eq(getmetatable(noise.Add()), "Add", "Add")
  end },
}
