-- What a script sees of the host's rules, through the real extension:
-- argument errors, extension errors, refused values and result counts.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise

T.run({
  { "argument errors name the function by its key", function()
    T.checkerror("bad argument #1 to 'Calc' (number expected, got no value)", N.M_Perlin.Calc)
    T.checkerror("bad argument #2 to 'Calc' (number expected, got no value)", N.M_Cylinders.Calc, 1)
    T.checkerror("bad argument #3 to 'Calc' (number expected, got nil)", N.M_Voronoi.Calc, 1, 2, nil)
    T.checkerror("bad argument #2 to 'AddPoint' (number expected, got string)", N.M_Curve.AddPoint, 1, "2")
    T.checkerror("bad argument #1 to 'SetSeed' (number expected, got table)", N.M_Billow.SetSeed, {})
    T.checkerror("bad argument #1 to 'SetModule' (number expected, got boolean)", N.Line.SetModule, true)
    T.checkerror("bad argument #1 to 'EnableDistance' (boolean expected, got number)",
                 N.M_Voronoi.EnableDistance, 1)
    T.checkerror("bad argument #1 to 'SetAttenuation' (boolean expected, got nil)", N.Line.SetAttenuation, nil)
    T.checkerror("bad argument #3 to 'LatLonOnSphere' (number expected, got no value)",
                 N.LatLonOnSphere, 10, 20)
    local alias = N.M_Spheres.Calc
    T.checkerror("bad argument #1 to 'Calc' (number expected, got no value)", alias)
    -- One function under both keys: through pcall it is named by the first.
    T.check(rawequal(N["3DNoise"], N.Coherent3DNoise), "3DNoise is Coherent3DNoise")
    T.checkerror("bad argument #5 to 'Coherent3DNoise' (number expected, got no value)",
                 N["3DNoise"], 1, 2, 3, 4)
  end },

  { "argument errors name what the caller called, where it called it", function()
    local here = debug.getinfo(1, "Sl")
    local source, line = here.short_src, here.currentline
    local ok, message = pcall(function() local r = N["3DNoise"](1, 2, 3, 4) return r end)
    T.eq(message, source .. ":" .. line + 2 .. ": bad argument #5 to '3DNoise' (number expected, got no value)")
    local calc = N.M_Perlin.Calc
    line = debug.getinfo(1, "l").currentline
    ok, message = pcall(function() local r = calc(1) return r end)
    T.eq(message, source .. ":" .. line + 1 .. ": bad argument #2 to 'calc' (number expected, got no value)")
    ok, message = pcall(function() local r = N.Line.Calc(2) return r end)
    T.eq(message, "LibNoise ERROR: Invalid bounds for line calculation, bounds must be in 0-1 inclusive.\n")
  end },

  { "a refused argument changes nothing", function()
    N.M_Curve.Clear()
    pcall(N.M_Curve.AddPoint, 1, "2")
    T.checkerror("LibNoise ERROR: The curve module has no control points. Add at least one with LibNoise.M_Curve.AddPoint.\n",
                 N.M_Curve.Calc, 0)
  end },

  { "extension errors are raised with exactly their text", function()
    N.Line.SetModule(N.C_MODULE_PERLIN)
    T.checkerror("LibNoise ERROR: Invalid bounds for line calculation, bounds must be in 0-1 inclusive.\n",
                 N.Line.Calc, 1.5)
    T.checkerror("LibNoise ERROR: Invalid enumeration used for referencing a module. Use those from the library's table.\n Note that you cannot use the Turbulence module due to implementation issues.\n",
                 N.Line.SetModule, N.C_MODULE_TURBULENCE)
  end },

  { "values the library refuses raise an error naming the function", function()
    T.checkerror("bad argument to 'SetOctaveCount' (value refused: invalid parameter)",
                 N.M_Perlin.SetOctaveCount, 31)
    T.checkerror("bad argument to 'SetRoughness' (value refused: invalid parameter)",
                 N.M_Turbulence.SetRoughness, 0)
    N.M_Terrace.Clear()
    N.M_Terrace.AddPoint(1)
    T.checkerror("bad argument to 'AddPoint' (value refused: invalid parameter)", N.M_Terrace.AddPoint, 1)
  end },

  { "setters return nothing, Calc one number, extra arguments are ignored", function()
    T.eq(T.results(N.M_Perlin.SetFrequency, 1, "ignored", {}), 0)
    T.eq(T.results(N.M_Voronoi.EnableDistance, false, 7), 0)
    local count, values = T.results(N.M_Perlin.Calc, 0.5, 0.25, 0.75, "extra")
    T.eq(count, 1)
    T.eq(values[1], T.f32(values[1]), "results are single precision")
    T.eq(T.results(N.M_Curve.Clear, "anything"), 0)
    T.eq(T.results(N.M_Turbulence.Calc, 1, 2, 3), 3)
    T.eq(T.results(N.LatLonOnSphere, 1, 2, 0, 0, 0), 3)
    T.eq(T.results(N.Plane.SetModule, 6), 1)
  end },

  { "functions work from coroutines", function()
    local co = coroutine.wrap(function() return N.SCurve3(0.5) end)
    T.eq(co(), 0.5)
  end },
})
