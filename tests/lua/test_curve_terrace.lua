-- M_Curve and M_Terrace as a script uses them.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local nan = 0 / 0

local function curve(points)
  N.M_Curve.Clear()
  for _, p in ipairs(points) do N.M_Curve.AddPoint(p[1], p[2]) end
end

local function terrace(values)
  N.M_Terrace.Clear()
  for _, v in ipairs(values) do N.M_Terrace.AddPoint(v) end
end

T.run({
  { "curve worked values", function()
    curve({ { 1, 1 }, { -1, -1 }, { 0, 0 }, { 2, 0 } })
    T.eq(N.M_Curve.Calc(0.5), 0.75)
    T.eq(N.M_Curve.Calc(1.5), 0.625)
    T.eq(N.M_Curve.Calc(1), 1)
    T.eq(N.M_Curve.Calc(2), 0, "at the last input")
    T.eq(N.M_Curve.Calc(nan), 0, "NaN gives the last output")
    curve({ { 0, 0 }, { 1, 2 } })
    T.eq(N.M_Curve.Calc(0.25), 0.5)
    T.eq(N.M_Curve.Calc(-3), 0)
    T.eq(N.M_Curve.Calc(7), 2)
    curve({ { 5, 0.1 } })
    T.eq(N.M_Curve.Calc(-1e300), T.f32(0.1))
  end },

  { "terrace worked values", function()
    terrace({ 1, -1 })
    T.eq(N.M_Terrace.Calc(0), -0.5)
    T.eq(N.M_Terrace.Calc(-1), -1)
    T.eq(N.M_Terrace.Calc(5), 1)
    T.eq(N.M_Terrace.Calc(-5), -1)
    T.eq(N.M_Terrace.Calc(nan), 1)
    terrace({ -1, 0, 1 })
    T.eq(N.M_Terrace.Calc(0.5), 0.25)
  end },

  { "duplicates are refused and the earlier point stays", function()
    curve({ { 0, 3 } })
    T.checkerror("bad argument to 'AddPoint' (value refused: invalid parameter)", N.M_Curve.AddPoint, 0, 9)
    T.eq(N.M_Curve.Calc(0), 3)
    N.M_Curve.Clear()
    N.M_Curve.AddPoint(0, 9)
    T.eq(N.M_Curve.Calc(0), 9)
    N.M_Curve.AddPoint(nan, 4)
    N.M_Curve.AddPoint(nan, 5)
    T.eq(N.M_Curve.Calc(100), 5, "NaN points go last")
  end },

  { "too few points is an error, not a value", function()
    N.M_Curve.Clear()
    T.checkerror("LibNoise ERROR: The curve module has no control points. Add at least one with LibNoise.M_Curve.AddPoint.\n",
                 N.M_Curve.Calc, 0)
    terrace({ 2 })
    T.checkerror("LibNoise ERROR: The terrace module needs at least two control points. Add them with LibNoise.M_Terrace.AddPoint.\n",
                 N.M_Terrace.Calc, 0)
    N.M_Terrace.Clear()
    T.checkerror("LibNoise ERROR: The terrace module needs at least two control points. Add them with LibNoise.M_Terrace.AddPoint.\n",
                 N.M_Terrace.Calc, 0)
  end },

  { "through a model only x matters", function()
    curve({ { -1, -1 }, { 0, 0.5 }, { 1, 1 } })
    N.Line.SetModule(N.C_MODULE_CURVE)
    N.Line.SetAttenuation(false)
    N.Line.SetStartPoint(0.25, -4, 9)
    N.Line.SetEndPoint(0.25, 3, -2)
    T.eq(N.Line.Calc(0), N.M_Curve.Calc(0.25))
    T.eq(N.Line.Calc(1), N.M_Curve.Calc(0.25))
    N.Plane.SetModule(N.C_MODULE_TERRACE)
    terrace({ -1, 1 })
    T.eq(N.Plane.Calc(0, 17), -0.5)
    N.M_Curve.Clear()
    T.checkerror("LibNoise ERROR: The curve module has no control points. Add at least one with LibNoise.M_Curve.AddPoint.\n",
                 N.Line.Calc, 0.5)
  end },
})
