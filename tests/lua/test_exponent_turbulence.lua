-- M_Exponent and M_Turbulence as a script uses them.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local f32 = T.f32

T.run({
  { "exponent curve", function()
    N.M_Exponent.SetExponent(1)
    for _, x in ipairs({ -1, -0.5, 0, 0.25, 1, 3 }) do T.near(N.M_Exponent.Calc(x), x, 1e-7, tostring(x)) end
    T.eq(N.M_Exponent.Calc(-3), 1)
    N.M_Exponent.SetExponent(2)
    T.eq(N.M_Exponent.Calc(0), -0.5)
    for _, e in ipairs({ -2, 0, 0.5, 2, 9 }) do
      N.M_Exponent.SetExponent(e)
      T.eq(N.M_Exponent.Calc(1), 1, "exponent " .. e)
    end
    N.M_Exponent.SetExponent(0)
    T.eq(N.M_Exponent.Calc(-1), 1)
    N.M_Exponent.SetExponent(-1)
    T.eq(N.M_Exponent.Calc(-1), math.huge)
    N.M_Exponent.SetExponent(3)
    T.eq(N.M_Exponent.Calc(-1), -1)
  end },

  { "turbulence with power 0 returns the point itself", function()
    N.M_Turbulence.SetPower(0)
    local x, y, z = N.M_Turbulence.Calc(0.1, -2.2, 1e10)
    T.eq(x, f32(0.1))
    T.eq(y, f32(-2.2))
    T.eq(z, f32(1e10))
    N.M_Turbulence.SetPower(1)
  end },

  { "turbulence is repeatable and depends on every coordinate", function()
    N.M_Turbulence.SetSeed(4)
    N.M_Turbulence.SetFrequency(1)
    N.M_Turbulence.SetRoughness(3)
    local a = { N.M_Turbulence.Calc(0.3, 0.4, 0.5) }
    N.M_Turbulence.Calc(9, 9, 9)
    local b = { N.M_Turbulence.Calc(0.3, 0.4, 0.5) }
    for i = 1, 3 do T.eq(a[i], b[i], "coordinate " .. i) end
    local c = { N.M_Turbulence.Calc(0.3, 0.4, 0.75) }
    T.check(c[1] ~= a[1] and c[2] ~= a[2], "x and y move with z")
    N.M_Turbulence.SetSeed(5)
    local d = { N.M_Turbulence.Calc(0.3, 0.4, 0.5) }
    T.check(d[1] ~= a[1], "the seed changes the field")
  end },

  { "refused roughness keeps the octaves; seeds and frequencies are kept as given", function()
    N.M_Turbulence.SetSeed(0)
    N.M_Turbulence.SetRoughness(3.9)
    local before = { N.M_Turbulence.Calc(0.7, 0.1, 0.2) }
    for _, bad in ipairs({ 0, 31, -5, 0 / 0 }) do
      T.checkerror("bad argument to 'SetRoughness' (value refused: invalid parameter)", N.M_Turbulence.SetRoughness, bad)
    end
    local after = { N.M_Turbulence.Calc(0.7, 0.1, 0.2) }
    for i = 1, 3 do T.eq(after[i], before[i]) end
    N.M_Turbulence.SetRoughness(30)
    N.M_Turbulence.SetRoughness(3)
    N.M_Turbulence.SetSeed(2147483647)
    N.M_Turbulence.SetSeed(-2.7)
    N.M_Turbulence.SetFrequency(2.5)
    local twoAndHalf = { N.M_Turbulence.Calc(0.7, 0.1, 0.2) }
    N.M_Turbulence.SetFrequency(2)
    local two = { N.M_Turbulence.Calc(0.7, 0.1, 0.2) }
    T.check(twoAndHalf[1] ~= two[1], "2.5 is not truncated")
  end },
})
