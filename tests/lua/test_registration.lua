-- The LibNoise table a script finds after the load.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local unpack = table.unpack or unpack

local tables = {
  Line = { "SetAttenuation", "SetStartPoint", "SetEndPoint", "SetModule", "Calc" },
  Plane = { "SetModule", "Calc" }, Sphere = { "SetModule", "Calc" }, Cylinder = { "SetModule", "Calc" },
  M_Billow = { "SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetPersistence", "SetSeed", "Calc" },
  M_CBoard = { "Calc" },
  M_Curve = { "AddPoint", "Clear", "Calc" },
  M_Cylinders = { "SetFrequency", "Calc" },
  M_Exponent = { "SetExponent", "Calc" },
  M_Perlin = { "SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetPersistence", "SetSeed", "Calc" },
  M_RidgedMulti = { "SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetSeed", "Calc" },
  M_Spheres = { "SetFrequency", "Calc" },
  M_Terrace = { "AddPoint", "Clear", "Calc" },
  M_Turbulence = { "SetFrequency", "SetPower", "SetRoughness", "SetSeed", "Calc" },
  M_Voronoi = { "SetFrequency", "SetDisplacement", "EnableDistance", "SetSeed", "Calc" },
}
local primaries = { "InterpolateLinear", "InterpolateCubic", "Gradient3DNoise", "GradientCoherent3DNoise",
                    "Coherent3DNoise", "3DNoise", "Int3DNoise", "LatLonOnSphere", "SCurve3", "SCurve5" }
local constants = {
  C_QUALITY_FAST = 1, C_QUALITY_STD = 2, C_QUALITY_BEST = 3,
  C_MODULE_BILLOW = 1, C_MODULE_CHECKERBOARD = 2, C_MODULE_CURVE = 3, C_MODULE_CYLINDERS = 4,
  C_MODULE_EXPONENT = 5, C_MODULE_PERLIN = 6, C_MODULE_RIDGED_MULTI = 7, C_MODULE_SPHERES = 8,
  C_MODULE_TERRACE = 9, C_MODULE_TURBULENCE = 10, C_MODULE_VORONOI = 11,
}

T.run({
  { "every key is there and nothing else", function()
    local expected = {}
    for name, functions in pairs(tables) do
      expected[name] = true
      T.eq(type(N[name]), "table", name)
      local count = 0
      for key, value in pairs(N[name]) do
        count = count + 1
        T.eq(type(value), "function", name .. "." .. key)
      end
      T.eq(count, #functions, "functions in " .. name)
      for _, key in ipairs(functions) do T.eq(type(N[name][key]), "function", name .. "." .. key) end
    end
    for _, key in ipairs(primaries) do
      expected[key] = true
      T.eq(type(N[key]), "function", key)
    end
    for key, value in pairs(constants) do
      expected[key] = true
      T.eq(N[key], value, key)
    end
    for key in pairs(N) do T.check(expected[key], "unexpected key " .. key) end
  end },

  { "3DNoise is Coherent3DNoise under a second key", function()
    for _, p in ipairs({ { 0.3, 1.7, -2.2, 5, 1 }, { 10.5, -3.25, 0.125, -7, 3 }, { 1, 2, 3, 0, 2 } }) do
      T.eq(N["3DNoise"](unpack(p)), N.Coherent3DNoise(unpack(p)))
    end
  end },

  { "the quality constants select their qualities", function()
    local x, y, z = 0.37, 1.91, -2.53
    T.eq(N.GradientCoherent3DNoise(x, y, z, 0, N.C_QUALITY_BEST), N.GradientCoherent3DNoise(x, y, z, 0, 3))
    T.check(N.GradientCoherent3DNoise(x, y, z, 0, N.C_QUALITY_BEST) ~= N.GradientCoherent3DNoise(x, y, z, 0, N.C_QUALITY_STD))
    T.check(N.GradientCoherent3DNoise(x, y, z, 0, N.C_QUALITY_FAST) ~= N.GradientCoherent3DNoise(x, y, z, 0, N.C_QUALITY_STD))
  end },
})
