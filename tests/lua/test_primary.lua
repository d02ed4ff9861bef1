-- The functions stored in LibNoise itself.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local N = LibNoise
local f32 = T.f32
local unpack = table.unpack or unpack
local latitudeError = "LibNoise ERROR: Invalid bounds for latitude given. They must be within 90 and -90 inclusive.\n"
local longitudeError = "LibNoise ERROR: Invalid bounds for longitude given. They must be within 180 and -180 inclusive.\n"

T.run({
  { "interpolation is not clamped", function()
    T.eq(N.InterpolateLinear(0, 10, 0.25), 2.5)
    T.eq(N.InterpolateLinear(1, 3, 2), 5)
    T.eq(N.InterpolateLinear(0, 1e300, 1), math.huge, "beyond single precision")
    T.eq(N.InterpolateCubic(0.1, 0.2, 0.3, 0.4, 0), f32(0.2))
    T.eq(N.InterpolateCubic(0.1, 0.2, 0.3, 0.4, 1), f32(0.3))
    T.eq(N.SCurve3(2), -4)
    T.eq(N.SCurve5(2), 32)
    T.eq(N.SCurve3(0.5), 0.5)
    T.eq(N.SCurve5(0 / 0), 0 / 0)
  end },

  { "integer arguments are truncated, not floored", function()
    T.eq(N.Int3DNoise(1.9, -1.9, -0.5, 7.9), N.Int3DNoise(1, -1, 0, 7))
    T.eq(N.Gradient3DNoise(0.3, 0.2, 0.1, -0.5, 0, 0, 1), N.Gradient3DNoise(0.3, 0.2, 0.1, 0, 0, 0, 1))
    for _, seed in ipairs({ 0, 1, -5, 1234567 }) do
      T.eq(N.Gradient3DNoise(2, 3, 4, 2, 3, 4, seed), 0, "on the lattice point")
    end
    T.eq(N.GradientCoherent3DNoise(0.3, 0.4, 0.5, 7.9, 2), N.GradientCoherent3DNoise(0.3, 0.4, 0.5, 7, 2))
  end },

  { "each integer argument of Gradient3DNoise is truncated on its own", function()
    local function with(slot, value)
      local args = { 0.3, 0.2, 0.1, 0, 0, 0, 0 }
      args[slot] = value
      return N.Gradient3DNoise(unpack(args))
    end
    for slot, name in pairs({ [4] = "ix", [5] = "iy", [6] = "iz", [7] = "seed" }) do
      T.eq(with(slot, -0.5), with(slot, 0), name .. " = -0.5")
      T.eq(with(slot, 0.9), with(slot, 0), name .. " = 0.9")
      -- What flooring -0.5 would give, so that the checks above can tell.
      T.check(with(slot, -1) ~= with(slot, 0), name .. " = -1 gives another value")
    end
  end },

  { "Int3DNoise is the nearest float to the library's integer", function()
    local value = N.Int3DNoise(0, 0, 0, 0)
    T.eq(value, f32(1376312589))
    T.check(value ~= 1376312589, "the integer itself is not a float")
  end },

  { "quality arguments: 1 fast, 3 best, anything else standard", function()
    for _, f in ipairs({ N.GradientCoherent3DNoise, N.Coherent3DNoise }) do
      local function q(code) return f(0.37, 1.91, -2.53, 3, code) end
      T.eq(q(1.99), q(1))
      T.eq(q(3.5), q(3))
      for _, code in ipairs({ 0, 2.99, -1, 4, 0 / 0 }) do T.eq(q(code), q(2), tostring(code)) end
      T.check(q(1) ~= q(2) and q(3) ~= q(2))
      T.eq(q(N.C_QUALITY_FAST), q(1))
      T.eq(q(N.C_QUALITY_BEST), q(3))
    end
  end },

  { "LatLonOnSphere", function()
    local count, p = T.results(N.LatLonOnSphere, 0, 0, 7, 8, 9)
    T.eq(count, 3)
    T.eq(p[1], 1); T.eq(p[2], 0); T.eq(p[3], 0)
    local x, y, z = N.LatLonOnSphere(90, 0, -1, -1, -1)
    T.near(x, 0, 1e-7); T.eq(y, 1); T.near(z, 0, 1e-7)
    T.eq(T.results(N.LatLonOnSphere, 90, 180, 0, 0, 0), 3)
    T.eq(T.results(N.LatLonOnSphere, -90, -180, 0, 0, 0), 3)
    T.checkerror(latitudeError, N.LatLonOnSphere, 91, 0, 0, 0, 0)
    T.checkerror(latitudeError, N.LatLonOnSphere, 0 / 0, 0, 0, 0, 0)
    T.checkerror(latitudeError, N.LatLonOnSphere, 100, 500, 0, 0, 0)
    T.checkerror(longitudeError, N.LatLonOnSphere, 0, 181, 0, 0, 0)
    T.checkerror(longitudeError, N.LatLonOnSphere, 0, 0 / 0, 0, 0, 0)
    T.checkerror("bad argument #3 to 'LatLonOnSphere' (number expected, got no value)", N.LatLonOnSphere, 10, 20)
    T.checkerror("bad argument #5 to 'LatLonOnSphere' (number expected, got string)",
                 N.LatLonOnSphere, 100, 0, 0, 0, "z")
  end },
})
