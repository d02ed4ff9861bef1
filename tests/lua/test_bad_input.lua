-- Every function of every table called with every kind of bad argument:
-- each call gives what the functions' rules say or raises a clear error,
-- and no error changes a setting (watched through the Calc results of
-- every table).
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local unpack = table.unpack or unpack
local nan, inf = 0 / 0, math.huge

-- Every published function with the kinds of its arguments.
local functions = {
  { "", "InterpolateLinear", "NNN" }, { "", "InterpolateCubic", "NNNNN" },
  { "", "Gradient3DNoise", "NNNNNNN" }, { "", "GradientCoherent3DNoise", "NNNNN" },
  { "", "Coherent3DNoise", "NNNNN" }, { "", "3DNoise", "NNNNN" }, { "", "Int3DNoise", "NNNN" },
  { "", "LatLonOnSphere", "NNNNN" }, { "", "SCurve3", "N" }, { "", "SCurve5", "N" },
  { "Line", "SetAttenuation", "B" }, { "Line", "SetStartPoint", "NNN" },
  { "Line", "SetEndPoint", "NNN" }, { "Line", "SetModule", "N" }, { "Line", "Calc", "N" },
  { "Plane", "SetModule", "N" }, { "Plane", "Calc", "NN" },
  { "Sphere", "SetModule", "N" }, { "Sphere", "Calc", "NN" },
  { "Cylinder", "SetModule", "N" }, { "Cylinder", "Calc", "NN" },
  { "M_Billow", "SetFrequency", "N" }, { "M_Billow", "SetLacunarity", "N" },
  { "M_Billow", "SetNoiseQuality", "N" }, { "M_Billow", "SetOctaveCount", "N" },
  { "M_Billow", "SetPersistence", "N" }, { "M_Billow", "SetSeed", "N" },
  { "M_Billow", "Calc", "NNN" },
  { "M_CBoard", "Calc", "NNN" },
  { "M_Curve", "AddPoint", "NN" }, { "M_Curve", "Clear", "" }, { "M_Curve", "Calc", "N" },
  { "M_Cylinders", "SetFrequency", "N" }, { "M_Cylinders", "Calc", "NN" },
  { "M_Exponent", "SetExponent", "N" }, { "M_Exponent", "Calc", "N" },
  { "M_Perlin", "SetFrequency", "N" }, { "M_Perlin", "SetLacunarity", "N" },
  { "M_Perlin", "SetNoiseQuality", "N" }, { "M_Perlin", "SetOctaveCount", "N" },
  { "M_Perlin", "SetPersistence", "N" }, { "M_Perlin", "SetSeed", "N" },
  { "M_Perlin", "Calc", "NNN" },
  { "M_RidgedMulti", "SetFrequency", "N" }, { "M_RidgedMulti", "SetLacunarity", "N" },
  { "M_RidgedMulti", "SetNoiseQuality", "N" }, { "M_RidgedMulti", "SetOctaveCount", "N" },
  { "M_RidgedMulti", "SetSeed", "N" }, { "M_RidgedMulti", "Calc", "NNN" },
  { "M_Spheres", "SetFrequency", "N" }, { "M_Spheres", "Calc", "NNN" },
  { "M_Terrace", "AddPoint", "N" }, { "M_Terrace", "Clear", "" }, { "M_Terrace", "Calc", "N" },
  { "M_Turbulence", "SetFrequency", "N" }, { "M_Turbulence", "SetPower", "N" },
  { "M_Turbulence", "SetRoughness", "N" }, { "M_Turbulence", "SetSeed", "N" },
  { "M_Turbulence", "Calc", "NNN" },
  { "M_Voronoi", "SetFrequency", "N" }, { "M_Voronoi", "SetDisplacement", "N" },
  { "M_Voronoi", "EnableDistance", "B" }, { "M_Voronoi", "SetSeed", "N" },
  { "M_Voronoi", "Calc", "NNN" },
}

local moduleError = "LibNoise ERROR: Invalid enumeration used for referencing a module. Use "
  .. "those from the library's table.\n Note that you cannot use the Turbulence module due to "
  .. "implementation issues.\n"
local lineError = "LibNoise ERROR: Invalid bounds for line calculation, bounds must be in 0-1 inclusive.\n"
local sphereError = "LibNoise ERROR: Invalid bounds for sphere calculation, bounds must be in "
  .. "180-180 inclusive for lat and lon.\n"
local cylinderError = "LibNoise ERROR: Invalid bounds for cylinder calculation, bounds must be "
  .. "0-360 degrees for rad.\n"
local latitudeError = "LibNoise ERROR: Invalid bounds for latitude given. They must be within 90 "
  .. "and -90 inclusive.\n"
local longitudeError = "LibNoise ERROR: Invalid bounds for longitude given. They must be within "
  .. "180 and -180 inclusive.\n"
local curveError = "LibNoise ERROR: The curve module has no control points. Add at least one "
  .. "with LibNoise.M_Curve.AddPoint.\n"
local terraceError = "LibNoise ERROR: The terrace module needs at least two control points. Add "
  .. "them with LibNoise.M_Terrace.AddPoint.\n"

-- Values on and just beside every bound, and the ones no bound expects.
local tiny = 2 ^ -1074
local specials = {
  nan, inf, -inf, 1e300, -1e300, 0, -0, -tiny, tiny, 1, 1 + 2 ^ -52, -1, 0.999,
  90, 90 + 2 ^ -46, -90, -90 - 2 ^ -46, 180, 180 + 2 ^ -45, -180, -180 - 2 ^ -45,
  360, 360 + 2 ^ -44, 30, 30.999, 31, 10, 10.5, 11, 11.9, 12, 0.1,
  2147483647, 2147483648, -2147483648, -2147483649,
}

-- The curve and terrace points of the settings every case starts from.
local curveInputs = { -1, 0, 1 }
local terraceValues = { -1, 0.1, 1 }

local function baseline()
  for _, name in ipairs { "M_Billow", "M_Perlin", "M_RidgedMulti" } do
    local m = N[name]
    m.SetFrequency(1.3)
    m.SetLacunarity(2.1)
    m.SetNoiseQuality(N.C_QUALITY_BEST)
    m.SetOctaveCount(5)
    m.SetSeed(7)
    if m.SetPersistence then m.SetPersistence(0.4) end
  end
  N.M_Voronoi.SetFrequency(1.1)
  N.M_Voronoi.SetDisplacement(0.7)
  N.M_Voronoi.EnableDistance(true)
  N.M_Voronoi.SetSeed(3)
  N.M_Cylinders.SetFrequency(1.7)
  N.M_Spheres.SetFrequency(0.8)
  N.M_Exponent.SetExponent(1.5)
  N.M_Turbulence.SetFrequency(0.9)
  N.M_Turbulence.SetPower(0.6)
  N.M_Turbulence.SetRoughness(4)
  N.M_Turbulence.SetSeed(11)
  N.M_Curve.Clear()
  for i, input in ipairs(curveInputs) do N.M_Curve.AddPoint(input, 0.3 * i - 0.5) end
  N.M_Terrace.Clear()
  for _, value in ipairs(terraceValues) do N.M_Terrace.AddPoint(value) end
  N.Line.SetAttenuation(false)
  N.Line.SetStartPoint(0.1, 0.2, 0.3)
  N.Line.SetEndPoint(1.7, -0.4, 2.2)
  N.Line.SetModule(N.C_MODULE_PERLIN)
  N.Plane.SetModule(N.C_MODULE_RIDGED_MULTI)
  N.Sphere.SetModule(N.C_MODULE_BILLOW)
  N.Cylinder.SetModule(N.C_MODULE_VORONOI)
end

-- Every setting, as the Calc functions show it.
local function settings()
  local parts = {}
  local function add(...)
    for i = 1, select("#", ...) do parts[#parts + 1] = T.show((select(i, ...))) end
  end
  for _, name in ipairs { "M_Billow", "M_Perlin", "M_RidgedMulti", "M_Voronoi", "M_Spheres",
                          "M_CBoard", "M_Turbulence" } do
    add(N[name].Calc(0.31, 0.72, 1.13))
  end
  add(N.M_Cylinders.Calc(0.31, 1.13))
  add(N.M_Exponent.Calc(0.4))
  add(pcall(N.M_Curve.Calc, 0.4))
  add(pcall(N.M_Curve.Calc, -0.7))
  add(pcall(N.M_Terrace.Calc, 0.5))
  add(pcall(N.Line.Calc, 0.3))
  add(pcall(N.Plane.Calc, 0.4, 0.6))
  add(pcall(N.Sphere.Calc, 20, 40))
  add(pcall(N.Cylinder.Calc, 60, 0.5))
  return table.concat(parts, " ")
end

local function int32(x)
  if x ~= x then return 0 end
  if x >= 2147483647 then return 2147483647 end
  if x <= -2147483648 then return -2147483648 end
  return x >= 0 and math.floor(x) or math.ceil(x)
end

local function contains(list, x)
  for _, item in ipairs(list) do
    if item == x then return true end
  end
  return false
end

local function refused(key)
  return { error = "bad argument to '" .. key .. "' (value refused: invalid parameter)" }
end

local function octaves(low)
  return function(a, key)
    local n = int32(a[1])
    if n > 30 or (low and n < low) then return refused(key) end
    return { results = 0, setter = true }
  end
end

local function setModule(a)
  local code = int32(a[1])
  if code < 1 or code > 11 or code == 10 then return { error = moduleError } end
  return { results = 1, setter = true }
end

-- What a call with arguments of the right kinds gives, from the settings
-- of the baseline; by default a setter returns nothing and a Calc one number.
local rules = {
  ["LatLonOnSphere"] = function(a)
    if not (a[1] >= -90 and a[1] <= 90) then return { error = latitudeError } end
    if not (a[2] >= -180 and a[2] <= 180) then return { error = longitudeError } end
    return { results = 3 }
  end,
  ["Line.SetModule"] = setModule, ["Plane.SetModule"] = setModule,
  ["Sphere.SetModule"] = setModule, ["Cylinder.SetModule"] = setModule,
  ["Line.Calc"] = function(a)
    if not (a[1] >= 0 and a[1] <= 1) then return { error = lineError } end
    return { results = 1 }
  end,
  ["Sphere.Calc"] = function(a)
    if a[1] > 180 or a[1] < -180 or a[2] > 180 or a[2] < -180 then
      return { error = sphereError }
    end
    return { results = 1 }
  end,
  ["Cylinder.Calc"] = function(a)
    if a[1] < 0 or a[1] > 360 then return { error = cylinderError } end
    return { results = 1 }
  end,
  ["M_Billow.SetOctaveCount"] = octaves(1),
  ["M_Perlin.SetOctaveCount"] = octaves(1),
  ["M_RidgedMulti.SetOctaveCount"] = octaves(nil),
  ["M_Turbulence.SetRoughness"] = octaves(1),
  ["M_Curve.AddPoint"] = function(a, key)
    if contains(curveInputs, a[1]) then return refused(key) end
    return { results = 0, setter = true }
  end,
  ["M_Terrace.AddPoint"] = function(a, key)
    if contains(terraceValues, a[1]) then return refused(key) end
    return { results = 0, setter = true }
  end,
  ["M_Turbulence.Calc"] = function() return { results = 3 } end,
}

local function qualified(f)
  return f[1] == "" and f[2] or f[1] .. "." .. f[2]
end

local function expected(f, args)
  local rule = rules[qualified(f)]
  if rule then return rule(args, f[2]) end
  if f[2]:find("^Calc") or f[1] == "" then return { results = 1 } end
  return { results = 0, setter = true }
end

local function defaults(kinds)
  local args = {}
  for i = 1, #kinds do args[i] = kinds:sub(i, i) == "B" and true or 0.5 end
  return args
end

local baseSettings
local dirty = true
local calls = 0

-- Makes the call and checks it against `want`: an exact error and no change
-- of settings, or the number of results and, unless it is a setter, no
-- change of settings either.
local function check(f, args, count, want, label)
  if dirty then baseline() end
  -- Until the settings are seen unchanged, the next case starts afresh.
  dirty = true
  calls = calls + 1
  local fn = f[1] == "" and N[f[2]] or N[f[1]][f[2]]
  local outcome = { pcall(fn, unpack(args, 1, count)) }
  if want.error then
    T.check(outcome[1] == false, label .. ": no error, expected " .. T.show(want.error))
    T.eq(outcome[2], want.error, label .. ": error")
  else
    T.check(outcome[1] == true, label .. ": unexpected error " .. T.show(outcome[2]))
    T.eq(#outcome - 1, want.results, label .. ": number of results")
    for i = 2, #outcome do
      local kind = type(outcome[i])
      T.check(kind == "number" or outcome[i] == true, label .. ": result " .. T.show(outcome[i]))
    end
  end
  if not want.setter or want.error then
    T.eq(settings(), baseSettings, label .. ": settings after the call")
    dirty = false
  end
end

-- The settings seen through Calc must show a change of any one of them, or
-- the comparisons above would prove nothing.
local function everySettingShows()
  local changes = {
    { "Line", "SetAttenuation", true }, { "Line", "SetStartPoint", 0.1, 0.2, 0.4 },
    { "Line", "SetEndPoint", 1.7, -0.4, 2.3 }, { "Line", "SetModule", N.C_MODULE_BILLOW },
    { "Plane", "SetModule", N.C_MODULE_PERLIN }, { "Sphere", "SetModule", N.C_MODULE_PERLIN },
    { "Cylinder", "SetModule", N.C_MODULE_PERLIN }, { "M_Curve", "AddPoint", 0.5, 1 },
    { "M_Curve", "Clear" }, { "M_Terrace", "AddPoint", 0.6 }, { "M_Terrace", "Clear" },
    { "M_Cylinders", "SetFrequency", 1.6 }, { "M_Spheres", "SetFrequency", 0.9 },
    { "M_Exponent", "SetExponent", 1.4 }, { "M_Turbulence", "SetFrequency", 0.8 },
    { "M_Turbulence", "SetPower", 0.5 }, { "M_Turbulence", "SetRoughness", 5 },
    { "M_Turbulence", "SetSeed", 12 }, { "M_Voronoi", "SetFrequency", 1.2 },
    { "M_Voronoi", "SetDisplacement", 0.8 }, { "M_Voronoi", "EnableDistance", false },
    { "M_Voronoi", "SetSeed", 4 },
  }
  for _, name in ipairs { "M_Billow", "M_Perlin", "M_RidgedMulti" } do
    for _, change in ipairs { { "SetFrequency", 1.2 }, { "SetLacunarity", 2.2 },
                              { "SetNoiseQuality", N.C_QUALITY_STD }, { "SetOctaveCount", 6 },
                              { "SetSeed", 8 }, { "SetPersistence", 0.5 } } do
      if N[name][change[1]] then changes[#changes + 1] = { name, change[1], change[2] } end
    end
  end
  for _, change in ipairs(changes) do
    baseline()
    N[change[1]][change[2]](unpack(change, 3))
    T.check(settings() ~= baseSettings, change[1] .. "." .. change[2] .. " does not show")
  end
  dirty = true
end

local function describe(f, args, count)
  local shown = {}
  for i = 1, count do shown[i] = T.show(args[i]) end
  return qualified(f) .. "(" .. table.concat(shown, ", ") .. ")"
end

-- Each argument position: missing, nil, a string, a table, and the other
-- of number and boolean.
local function wrongKinds(f)
  local kinds = f[3]
  for i = 1, #kinds do
    local wanted = kinds:sub(i, i) == "B" and "boolean" or "number"
    local wrong = wanted == "number" and true or 1
    for _, bad in ipairs {
      { nil, "no value", true }, { nil, "nil" }, { "0.5", "string" }, { {}, "table" },
      { wrong, wanted == "number" and "boolean" or "number" },
    } do
      local args = defaults(kinds)
      args[i] = bad[1]
      local count = bad[3] and i - 1 or #kinds
      -- Called through pcall, the function has no call-site name: the
      -- error names the key it was first stored under.
      local key = f[2] == "3DNoise" and "Coherent3DNoise" or f[2]
      local message = string.format("bad argument #%d to '%s' (%s expected, got %s)", i, key,
                                    wanted, bad[2])
      check(f, args, count, { error = message }, describe(f, args, count) .. " [" .. bad[2] .. "]")
    end
  end
end

-- Each number argument in turn takes every special value.
local function specialNumbers(f)
  local kinds = f[3]
  for i = 1, #kinds do
    if kinds:sub(i, i) == "N" then
      for _, value in ipairs(specials) do
        local args = defaults(kinds)
        args[i] = value
        check(f, args, #kinds, expected(f, args), describe(f, args, #kinds))
      end
    end
  end
end

-- The rules that depend on what was set before.
local function stateful()
  baseline()
  dirty = true
  N.M_Curve.AddPoint(nan, 1)
  N.M_Curve.AddPoint(nan, 2)  -- NaN equals nothing, not even NaN
  T.checkerror("bad argument to 'AddPoint' (value refused: invalid parameter)",
               N.M_Curve.AddPoint, -0, 1)  -- -0 equals 0
  N.M_Terrace.AddPoint(nan)
  N.M_Terrace.AddPoint(nan)
  N.M_Curve.Clear()
  N.M_Terrace.Clear()
  N.M_Terrace.AddPoint(0.5)
  T.eq(N.Line.SetModule(N.C_MODULE_CURVE), true)
  T.eq(N.Plane.SetModule(N.C_MODULE_TERRACE), true)
  local before = settings()
  T.checkerror(curveError, N.M_Curve.Calc, 0)
  T.checkerror(terraceError, N.M_Terrace.Calc, 0)
  T.checkerror(curveError, N.Line.Calc, 0.5)
  T.checkerror(lineError, N.Line.Calc, 1.5)  -- bounds before the source
  T.checkerror(terraceError, N.Plane.Calc, 0, 0)
  T.checkerror(moduleError, N.Sphere.SetModule, N.C_MODULE_TURBULENCE)
  T.checkerror(latitudeError, N.LatLonOnSphere, nan, 1e300, 0, 0, 0)  -- latitude first
  T.checkerror("bad argument #5 to 'LatLonOnSphere' (number expected, got nil)",
               N.LatLonOnSphere, 1e300, 1e300, 0, 0, nil)  -- kinds before bounds
  T.eq(settings(), before, "settings after the failed calls")
  T.eq(select("#", N.M_Billow.SetFrequency(2, "extra", {})), 0)  -- extra arguments are ignored
end

baseline()
baseSettings = settings()
dirty = false

local cases = {}
for _, f in ipairs(functions) do
  cases[#cases + 1] = { qualified(f) .. " with arguments of the wrong kind",
                        function() wrongKinds(f) end }
  cases[#cases + 1] = { qualified(f) .. " with special numbers",
                        function() specialNumbers(f) end }
end
cases[#cases + 1] = { "every setting shows in the Calc results", everySettingShows }
cases[#cases + 1] = { "rules that depend on earlier calls", stateful }
T.run(cases)
print(calls .. " calls checked")
