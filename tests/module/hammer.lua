-- What every thread's state runs in the thread tests: probes of the shared
-- instances at a set of points, and settings stored again with the values
-- they have, so that an unlocked setter would race with the other threads'
-- calls. Plain Lua 5.1, for every Lua.
local N = LibNoise

function store_settings()
  N.M_Perlin.SetFrequency(1.5)
  N.M_Perlin.SetSeed(7)
  N.M_Perlin.SetOctaveCount(4)
  N.M_Voronoi.SetSeed(3)
  N.M_Voronoi.EnableDistance(true)
  N.M_Exponent.SetExponent(2)
  N.Sphere.SetModule(N.C_MODULE_PERLIN)
  N.Line.SetModule(N.C_MODULE_VORONOI)
end

local probes = {
  function(x, y, z) return N.M_Perlin.Calc(x, y, z) end,
  function(x, y, z) return N.M_RidgedMulti.Calc(x, y, z) end,
  function(x, y, z) return N.M_Voronoi.Calc(x, y, z) end,
  function(x, y, z) return N.M_Billow.Calc(x, y, z) end,
  function(x, y, z) return N.Sphere.Calc(x * 20, y * 40) end,
  function(x, y, z) return N.Line.Calc(z / 4 + 0.5) end,
  function(x, y, z) return N.M_Exponent.Calc(x / 4) end,
  function(x, y, z) return N.GradientCoherent3DNoise(x, y, z, 5, 2) end,
  function(x, y, z) return N.InterpolateCubic(x, y, z, x, 0.25) + N.SCurve3(z) end,
  function(x, y, z)
    local a, b, c = N.LatLonOnSphere(x * 20, y * 40, 0, 0, 0)
    return a + 3 * b + 5 * c
  end,
  function(x, y, z)
    local a, b, c = N.M_Turbulence.Calc(x, y, z)
    return a + 3 * b + 5 * c
  end,
}

local function point(i)
  return (i % 17) * 0.23 - 2, (i % 13) * 0.31 - 2, (i % 11) * 0.37 - 2
end

-- Every probe at points 1 to `count`, in order.
function probe_values(count)
  local values = {}
  for i = 1, count do
    local x, y, z = point(i)
    for k = 1, #probes do values[#values + 1] = probes[k](x, y, z) end
  end
  return values
end

-- `rounds` passes over the points of `values`, storing the settings again
-- every eighth point; the number of results that differ from `values`.
function hammer(values, rounds)
  local wrong = 0
  local count = #values / #probes
  for _ = 1, rounds do
    local n = 0
    for i = 1, count do
      if i % 8 == 0 then store_settings() end
      local x, y, z = point(i)
      for k = 1, #probes do
        n = n + 1
        if probes[k](x, y, z) ~= values[n] then wrong = wrong + 1 end
      end
    end
  end
  return wrong
end
