-- The line, plane, sphere and cylinder models over a shared generator.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local nan = 0 / 0
local lineError = "LibNoise ERROR: Invalid bounds for line calculation, bounds must be in 0-1 inclusive.\n"
local sphereError = "LibNoise ERROR: Invalid bounds for sphere calculation, bounds must be in 180-180 inclusive for lat and lon.\n"
local cylinderError = "LibNoise ERROR: Invalid bounds for cylinder calculation, bounds must be 0-360 degrees for rad.\n"

local function perlin(x, y, z) return N.M_Perlin.Calc(x, y, z) end

T.run({
  { "a model without a source says which call sets one", function()
    T.checkerror("LibNoise ERROR: The Line model has no source module. Choose one with LibNoise.Line.SetModule.\n",
                 N.Line.Calc, 0.5)
    T.checkerror("LibNoise ERROR: The Plane model has no source module. Choose one with LibNoise.Plane.SetModule.\n",
                 N.Plane.Calc, 0.5, 0.5)
    T.checkerror("LibNoise ERROR: The Sphere model has no source module. Choose one with LibNoise.Sphere.SetModule.\n",
                 N.Sphere.Calc, 0, 0)
    T.checkerror("LibNoise ERROR: The Cylinder model has no source module. Choose one with LibNoise.Cylinder.SetModule.\n",
                 N.Cylinder.Calc, 0, 0)
    T.checkerror(lineError, N.Line.Calc, 2)  -- bounds come first
  end },

  { "the line runs from (0,0,0) to (1,1,1) with attenuation at load", function()
    T.eq(N.Line.SetModule(N.C_MODULE_PERLIN), true)
    T.eq(N.Line.Calc(0.5), perlin(0.5, 0.5, 0.5))
    T.eq(N.Line.Calc(0), 0)
    T.eq(N.Line.Calc(1), 0)
    T.near(N.Line.Calc(0.25), 0.75 * perlin(0.25, 0.25, 0.25), 1e-6, "attenuated by 4p(1-p)")
    N.Line.SetAttenuation(false)
    N.Line.SetStartPoint(0.1, 0.2, 0.3)
    N.Line.SetEndPoint(2.1, -1.8, 4.3)
    T.eq(N.Line.Calc(0), perlin(0.1, 0.2, 0.3))
    T.eq(N.Line.Calc(1), perlin(2.1, -1.8, 4.3))
    T.eq(N.Line.Calc(0.5), perlin(1.1, -0.8, 2.3))
    N.Line.SetEndPoint(0.1, 0.2, 0.3)
    for _, p in ipairs({ 0, 0.3, 0.77, 1 }) do T.eq(N.Line.Calc(p), perlin(0.1, 0.2, 0.3)) end
    for _, p in ipairs({ -0.5, 1.5, nan, -1e-300, 1 + 1e-15 }) do T.checkerror(lineError, N.Line.Calc, p) end
    T.checkerror("bad argument #1 to 'SetAttenuation' (boolean expected, got number)", N.Line.SetAttenuation, 1)
    N.Line.SetAttenuation(true)
  end },

  { "the plane is y = 0", function()
    N.Plane.SetModule(N.C_MODULE_PERLIN)
    for _, p in ipairs({ { 0.3, 0.6 }, { -12.5, 7.25 }, { 1e3, -1e3 } }) do
      T.eq(N.Plane.Calc(p[1], p[2]), perlin(p[1], 0, p[2]))
    end
  end },

  { "the sphere takes latitude then longitude, both within -180 to 180", function()
    N.Sphere.SetModule(N.C_MODULE_PERLIN)
    T.eq(N.Sphere.Calc(0, 0), perlin(1, 0, 0))
    T.check(N.Sphere.Calc(30, 45) ~= N.Sphere.Calc(45, 30))
    local x, y, z = N.LatLonOnSphere(30, 45, 0, 0, 0)
    T.near(N.Sphere.Calc(30, 45), perlin(x, y, z), 1e-5, "the point of the sphere")
    for _, p in ipairs({ { 120, 0 }, { 0, -180 }, { 0, 180 }, { -180, 180 }, { nan, 0 } }) do
      T.eq(T.results(N.Sphere.Calc, p[1], p[2]), 1)
    end
    for _, p in ipairs({ { 181, 0 }, { -181, 0 }, { 0, 181 }, { 0, -181 } }) do
      T.checkerror(sphereError, N.Sphere.Calc, p[1], p[2])
    end
  end },

  { "the cylinder takes an angle from 0 to 360 and any height", function()
    N.Cylinder.SetModule(N.C_MODULE_PERLIN)
    T.eq(N.Cylinder.Calc(0, 0.4), perlin(1, 0.4, 0))
    T.near(N.Cylinder.Calc(90, -2), perlin(0, -2, 1), 1e-6, "angle 90")
    T.near(N.Cylinder.Calc(360, 5), N.Cylinder.Calc(0, 5), 1e-6, "full turn")
    T.eq(T.results(N.Cylinder.Calc, nan, 1e9), 1)
    for _, angle in ipairs({ -1, 361, -1e-9 }) do T.checkerror(cylinderError, N.Cylinder.Calc, angle, 0) end
  end },

  { "sources are chosen by code, per model", function()
    N.Line.SetModule(6.99)
    N.Sphere.SetModule(N.C_MODULE_PERLIN)
    N.Sphere.SetModule(N.C_MODULE_BILLOW)
    N.Line.SetAttenuation(false)
    N.Line.SetStartPoint(0.2, 0.2, 0.2)
    T.eq(N.Line.Calc(0), perlin(0.2, 0.2, 0.2), "the line kept Perlin")
    T.eq(N.Sphere.Calc(0, 0), N.M_Billow.Calc(1, 0, 0))
    for _, code in ipairs({ 10, 0, 0.9, -1, 12, nan, math.huge }) do
      T.checkerror("LibNoise ERROR: Invalid enumeration used for referencing a module. Use those from the library's table.\n Note that you cannot use the Turbulence module due to implementation issues.\n",
                   N.Sphere.SetModule, code)
    end
    T.eq(N.Sphere.Calc(0, 0), N.M_Billow.Calc(1, 0, 0), "a refused code keeps the source")
    T.eq(N.Sphere.SetModule(N.C_MODULE_VORONOI), true)
    T.eq(N.Sphere.Calc(0, 0), N.M_Voronoi.Calc(1, 0, 0))
    N.Cylinder.SetModule(N.C_MODULE_EXPONENT)
    N.M_Exponent.SetExponent(2)
    T.eq(N.Cylinder.Calc(0, 7), N.M_Exponent.Calc(1))
  end },
})
