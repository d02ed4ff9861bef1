-- The library's generators as a script configures and evaluates them.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise

local points = { { 0.3, 0.7, -1.2 }, { 12.5, -3.25, 0.125 }, { -0.9, 4.4, 2.2 } }

-- Calc of `generator` at every point.
local function sample(generator)
  local values = {}
  for i, p in ipairs(points) do values[i] = generator.Calc(p[1], p[2], p[3]) end
  return values
end

local function same_samples(a, b)
  for i = 1, #a do if a[i] ~= b[i] then return false end end
  return true
end

T.run({
  { "values at the origin with the library's defaults", function()
    T.eq(N.M_Billow.Calc(0, 0, 0), -47 / 32)
    T.eq(N.M_RidgedMulti.Calc(0, 0, 0), 187 / 128)
    N.M_Perlin.SetFrequency(3)
    N.M_Perlin.SetSeed(77)
    N.M_Perlin.SetNoiseQuality(N.C_QUALITY_BEST)
    T.eq(N.M_Perlin.Calc(0, 0, 0), 0)
    N.M_Perlin.SetFrequency(1)
    N.M_Perlin.SetSeed(0)
    N.M_Perlin.SetNoiseQuality(N.C_QUALITY_STD)
  end },

  { "octave counts: truncated, refused outside the library's range", function()
    N.M_Billow.SetOctaveCount(6)
    local six = sample(N.M_Billow)
    N.M_Billow.SetOctaveCount(6.9)
    T.check(same_samples(sample(N.M_Billow), six), "6.9 sets 6")
    T.checkerror("bad argument to 'SetOctaveCount' (value refused: invalid parameter)", N.M_Billow.SetOctaveCount, 0.5)
    T.check(same_samples(sample(N.M_Billow), six), "a refused count keeps the old one")
    N.M_Billow.SetOctaveCount(30)
    N.M_Perlin.SetOctaveCount(1)
    for _, name in ipairs({ "M_Billow", "M_Perlin", "M_RidgedMulti" }) do
      T.checkerror("bad argument to 'SetOctaveCount' (value refused: invalid parameter)", N[name].SetOctaveCount, 31)
    end
    N.M_RidgedMulti.SetOctaveCount(0)
    for _, v in ipairs(sample(N.M_RidgedMulti)) do T.eq(v, -1) end
    N.M_Billow.SetOctaveCount(6)
    N.M_Perlin.SetOctaveCount(6)
    N.M_RidgedMulti.SetOctaveCount(6)
  end },

  { "quality codes: 1 fast, 3 best, the rest standard", function()
    local byCode = {}
    for _, code in ipairs({ 1, 1.9, 2, 0, -1, 4, 2.99, 3, 3.7 }) do
      N.M_Perlin.SetNoiseQuality(code)
      byCode[code] = sample(N.M_Perlin)
    end
    T.check(same_samples(byCode[1.9], byCode[1]))
    T.check(same_samples(byCode[3.7], byCode[3]))
    for _, code in ipairs({ 0, -1, 4, 2.99 }) do T.check(same_samples(byCode[code], byCode[2]), tostring(code)) end
    T.check(not same_samples(byCode[1], byCode[2]) and not same_samples(byCode[3], byCode[2]))
    N.M_Perlin.SetNoiseQuality(2)
  end },

  { "seeds are truncated toward zero; extra arguments are not looked at", function()
    N.M_Billow.SetSeed(-3)
    local minusThree = sample(N.M_Billow)
    N.M_Billow.SetSeed(-3.7)
    T.check(same_samples(sample(N.M_Billow), minusThree))
    N.M_Billow.SetSeed(0)
    N.M_Billow.SetFrequency(2, "not looked at")
    local two = sample(N.M_Billow)
    N.M_Billow.SetFrequency(2)
    T.check(same_samples(sample(N.M_Billow), two))
    N.M_Billow.SetFrequency(1)
    N.M_Voronoi.SetSeed(2)
    local seedTwo = sample(N.M_Voronoi)
    N.M_Voronoi.SetSeed(2.9)
    T.check(same_samples(sample(N.M_Voronoi), seedTwo))
    N.M_Voronoi.SetSeed(0)
  end },

  { "checkerboard, spheres and cylinders", function()
    T.eq(N.M_CBoard.Calc(0, 0, 0), 1)
    T.eq(N.M_CBoard.Calc(1.5, 0, 0), -1)
    T.eq(N.M_CBoard.Calc(0, 1.5, 0), -1)
    T.eq(N.M_CBoard.Calc(-0.5, 0, 0), -1)
    T.eq(N.M_CBoard.Calc(1.5, 1.5, 0), 1)
    T.eq(N.M_Spheres.Calc(0, 0, 0), 1)
    T.eq(N.M_Spheres.Calc(0.5, 0, 0), -1)
    T.eq(N.M_Spheres.Calc(0, 0, 0.5), -1)
    T.eq(N.M_Spheres.Calc(0.25, 0, 0), 0)
    N.M_Spheres.SetFrequency(2)
    T.eq(N.M_Spheres.Calc(0.25, 0, 0), -1)
    N.M_Spheres.SetFrequency(1)
    T.eq(N.M_Cylinders.Calc(0, 0), 1)
    T.eq(N.M_Cylinders.Calc(0.5, 0), -1)
    T.eq(N.M_Cylinders.Calc(0, 0.5), -1)
    T.eq(N.M_Cylinders.Calc(0.25, 0), 0)
    T.checkerror("bad argument #2 to 'Calc' (number expected, got no value)", N.M_Cylinders.Calc, 0.25)
  end },

  { "Voronoi displacement and distance", function()
    local atLoad = sample(N.M_Voronoi)
    N.M_Voronoi.EnableDistance(true)
    T.check(not same_samples(sample(N.M_Voronoi), atLoad), "the distance term changes the values")
    N.M_Voronoi.EnableDistance(false)
    T.check(same_samples(sample(N.M_Voronoi), atLoad), "and disabling it restores them")
    N.M_Voronoi.SetDisplacement(0)
    for _, v in ipairs(sample(N.M_Voronoi)) do T.eq(v, 0) end
    N.M_Voronoi.SetDisplacement(1)
  end },

  { "a generator's settings reach the models that use it", function()
    N.Plane.SetModule(N.C_MODULE_PERLIN)
    local before = N.Plane.Calc(0.3, 0.6)
    N.M_Perlin.SetFrequency(2)
    local after = N.Plane.Calc(0.3, 0.6)
    T.check(before ~= after)
    T.eq(after, N.M_Perlin.Calc(0.3, 0, 0.6))
    N.M_Perlin.SetFrequency(1)
  end },
})
