-- Maps through vessa: each builder and the grid hold exactly what the same
-- calls from a script return, on any number of threads; seamless maps
-- tile; the map's methods; and every bad input, refused before any work.
local T = dofile("tests/lua/testlib.lua")
local N = LibNoise

local function settings()
  N.M_Perlin.SetSeed(3); N.M_Perlin.SetOctaveCount(4); N.M_Perlin.SetFrequency(1.3)
  N.M_Billow.SetSeed(5); N.M_RidgedMulti.SetSeed(6)
  N.M_Voronoi.SetSeed(2); N.M_Voronoi.SetFrequency(2); N.M_Voronoi.EnableDistance(true)
  N.M_Spheres.SetFrequency(1.7)
end
settings()

-- The functions of a point, with the module code a model takes for each.
local pointFunctions = {
  { "M_Billow", N.C_MODULE_BILLOW }, { "M_CBoard", N.C_MODULE_CHECKERBOARD },
  { "M_Perlin", N.C_MODULE_PERLIN }, { "M_RidgedMulti", N.C_MODULE_RIDGED_MULTI },
  { "M_Spheres", N.C_MODULE_SPHERES }, { "M_Voronoi", N.C_MODULE_VORONOI },
}

-- Every value of the map against f(column, row) for the grid's inputs; with
-- upperFirst, row 0 holds the last step (north up).
local function checkMap(m, width, height, c0, c1, r0, r1, f, label, upperFirst)
  T.eq(m:width(), width, label .. " width")
  T.eq(m:height(), height, label .. " height")
  for j = 0, height - 1 do
    for i = 0, width - 1 do
      local column = c0 + i * (c1 - c0) / width
      local step = upperFirst and height - 1 - j or j
      local row = r0 + step * (r1 - r0) / height
      T.eq(m:get(i, j), f(column, row), string.format("%s at %d, %d", label, i, j))
    end
  end
end

local function flat(m) return m:flat({}) end

local function sameValues(a, b, label)
  T.eq(#a, #b, label .. " size")
  for i = 1, #a do T.eq(a[i], b[i], label .. " value " .. i) end
end

-- Largest step between neighbours inside, and across the wrap.
local function steps(m)
  local w, h = m:width(), m:height()
  local inside, across = 0, 0
  for j = 0, h - 1 do
    for i = 0, w - 2 do inside = math.max(inside, math.abs(m:get(i + 1, j) - m:get(i, j))) end
    across = math.max(across, math.abs(m:get(0, j) - m:get(w - 1, j)))
  end
  for i = 0, w - 1 do
    for j = 0, h - 2 do inside = math.max(inside, math.abs(m:get(i, j + 1) - m:get(i, j))) end
    across = math.max(across, math.abs(m:get(i, 0) - m:get(i, h - 1)))
  end
  return inside, across
end

local function errorOf(f, ...)
  local ok, message = pcall(f, ...)
  T.check(not ok, "the call succeeded")
  return message
end

local P = N.M_Perlin.Calc
local A = "bad argument #"

T.run {
  { "plane maps hold the values of the same calls", function()
    for _, entry in ipairs(pointFunctions) do
      local calc = N[entry[1]].Calc
      local m = noise.planemap(calc, { -1.3, 2.6, 0.7, 3.1 }, 23, 17)
      checkMap(m, 23, 17, -1.3, 2.6, 0.7, 3.1, function(x, z) return calc(x, 0, z) end, entry[1])
    end
  end },
  { "sphere maps hold what Sphere.Calc gives with the module as source", function()
    for _, entry in ipairs(pointFunctions) do
      N.Sphere.SetModule(entry[2])
      local m = noise.spheremap(N[entry[1]].Calc, { -90, 90, -180, 180 }, 24, 12)
      checkMap(m, 24, 12, -180, 180, -90, 90, function(lon, lat) return N.Sphere.Calc(lat, lon) end,
        entry[1], true)
    end
    N.Sphere.SetModule(N.C_MODULE_PERLIN)
    local m = noise.spheremap(P, { -20.5, 60, 10, 33.3 }, 9, 7)
    checkMap(m, 9, 7, 10, 33.3, -20.5, 60, function(lon, lat) return N.Sphere.Calc(lat, lon) end, "part",
      true)
  end },
  { "cylinder maps hold what Cylinder.Calc gives", function()
    for _, entry in ipairs(pointFunctions) do
      N.Cylinder.SetModule(entry[2])
      local m = noise.cylindermap(N[entry[1]].Calc, { 0, 360, -1.5, 2 }, 20, 9)
      checkMap(m, 20, 9, 0, 360, -1.5, 2, function(a, h) return N.Cylinder.Calc(a, h) end, entry[1],
        true)
    end
  end },
  { "maps of noise objects hold what calc and the models give", function()
    local base = noise.Perlin { octaves = 5, seed = 11, frequency = 1.7 }
    local graph = noise.Select(noise.Billow { seed = 2 }, noise.RidgedMulti {}, base,
      { lower = 0, upper = 0.5, falloff = 0.1 })
    for _, source in ipairs { base, graph } do
      checkMap(noise.planemap(source, { -1.3, 2.6, 0.7, 3.1 }, 23, 17), 23, 17, -1.3, 2.6, 0.7, 3.1,
        function(x, z) return source:calc(x, 0, z) end, "object plane")
      checkMap(noise.spheremap(source, { -90, 90, -180, 180 }, 24, 12), 24, 12, -180, 180, -90, 90,
        function(lon, lat) return source:sphere(lat, lon) end, "object sphere", true)
      checkMap(noise.cylindermap(source, { 0, 360, -1.5, 2 }, 20, 9), 20, 9, 0, 360, -1.5, 2,
        function(a, h) return source:cylinder(a, h) end, "object cylinder", true)
      local one = flat(noise.planemap(source, { 0, 3, 0, 2 }, 90, 70, { threads = 1 }))
      sameValues(flat(noise.planemap(source, { 0, 3, 0, 2 }, 90, 70, { threads = 5 })), one,
        "object on 5 threads")
    end
  end },
  { "a noise object that cannot be evaluated gives no map", function()
    local ok, message = pcall(noise.planemap, noise.Add(noise.Perlin {}), { 0, 1, 0, 1 }, 4, 4)
    T.check(not ok and message:find("Add needs source 2", 1, true), tostring(message))
  end },
  { "sphere and cylinder maps put north at the top; flip turns every map over", function()
    N.Sphere.SetModule(N.C_MODULE_PERLIN)
    local plain = noise.spheremap(P, { -90, 90, -180, 180 }, 8, 6)
    T.eq(plain:get(0, 0), N.Sphere.Calc(60, -180), "the top row is the northernmost")
    T.eq(plain:get(0, 5), N.Sphere.Calc(-90, -180), "the bottom row is the south pole")
    local builders = {
      { noise.spheremap, { -90, 90, -180, 180 } }, { noise.cylindermap, { 0, 360, -1, 2 } },
      { noise.planemap, { 0, 3, -1, 2 } },
    }
    for _, b in ipairs(builders) do
      local upright = b[1](P, b[2], 8, 6)
      local flipped = b[1](P, b[2], 8, 6, { flip = true })
      for j = 0, 5 do
        for i = 0, 7 do T.eq(flipped:get(i, 5 - j), upright:get(i, j), "flipped") end
      end
    end
  end },
  { "noiseutils positions step as its builders do", function()
    -- The step added once per sample, as NoiseMapBuilderPlane and Sphere do.
    local function stepped(from, to, count)
      local at, delta, current = {}, (to - from) / count, from
      for i = 0, count - 1 do at[i] = current; current = current + delta end
      return at
    end
    local obj = noise.Perlin { seed = 4, octaves = 3 }
    local xs, zs = stepped(-0.7, 1.3, 50), stepped(0.1, 0.9, 30)
    local m = noise.planemap(obj, { -0.7, 1.3, 0.1, 0.9 }, 50, 30, { positions = "noiseutils" })
    local default = noise.planemap(obj, { -0.7, 1.3, 0.1, 0.9 }, 50, 30)
    local differ = 0
    for j = 0, 29 do
      for i = 0, 49 do
        T.eq(m:get(i, j), obj:calc(xs[i], 0, zs[j]), "plane")
        if default:get(i, j) ~= m:get(i, j) then differ = differ + 1 end
      end
    end
    T.check(differ > 0, "the default positions are not noiseutils'")
    local lons, lats = stepped(-170.2, 95.7, 90), stepped(-61.3, 77.9, 45)
    local s = noise.spheremap(P, { -61.3, 77.9, -170.2, 95.7 }, 90, 45,
      { positions = "noiseutils", flip = true })
    N.Sphere.SetModule(N.C_MODULE_PERLIN)
    for j = 0, 44 do
      for i = 0, 89 do T.eq(s:get(i, j), N.Sphere.Calc(lats[j], lons[i]), "sphere") end
    end
  end },
  { "volumes hold the values at their lattice points, x fastest, then y, then z", function()
    local obj = noise.Turbulence(noise.Perlin { octaves = 3, seed = 8 }, { power = 0.2 })
    local bounds = { -1.3, 2.6, 0.5, 1.25, 7, 9.5 }
    local at = function(a, i, n) return bounds[2 * a - 1] + i * (bounds[2 * a] - bounds[2 * a - 1]) / n end
    for _, source in ipairs { obj, P } do
      local f = source == P and P or function(x, y, z) return obj:calc(x, y, z) end
      local v = noise.volumemap(source, bounds, 7, 4, 3)
      T.eq(v:width(), 7, "width"); T.eq(v:height(), 4, "height"); T.eq(v:depth(), 3, "depth")
      local t = v:flat()
      T.eq(#t, 7 * 4 * 3, "flat holds every value")
      for k = 0, 2 do
        for j = 0, 3 do
          for i = 0, 6 do
            local expected = f(at(1, i, 7), at(2, j, 4), at(3, k, 3))
            T.eq(v:get(i, j, k), expected, "get")
            T.eq(t[1 + i + 7 * j + 28 * k], expected, "flat, as get_3d_map_flat")
          end
        end
      end
      local one = flat(noise.volumemap(source, bounds, 40, 9, 6, { threads = 1 }))
      sameValues(flat(noise.volumemap(source, bounds, 40, 9, 6, { threads = 7 })), one,
        "volume on 7 threads")
    end
  end },
  { "maps of adjacent bounds join", function()
    local left = noise.planemap(P, { 0, 1, 0, 1 }, 10, 4)
    local right = noise.planemap(P, { 1, 2, 0, 1 }, 10, 4)
    for j = 0, 3 do T.eq(right:get(0, j), P(1, 0, j / 4), "first column of the next map") end
    T.check(left:get(9, 0) ~= right:get(0, 0), "the upper bound is excluded")
  end },
  { "the grid holds the values of the same calls", function()
    N.Plane.SetModule(N.C_MODULE_PERLIN)
    local function at(from, to, count, k)
      if count == 1 then return from end
      return from + k * (to - from) / (count - 1)
    end
    local m = noise.grid(N.Plane.Calc, { 0, 8, 13 }, { 1, -2, 6 })
    T.eq(m:width(), 13, "width"); T.eq(m:height(), 6, "height")
    for j = 0, 5 do
      for i = 0, 12 do
        T.eq(m:get(i, j), N.Plane.Calc(at(0, 8, 13, i), at(1, -2, 6, j)), "Plane.Calc")
      end
    end
    -- Fixed arguments, and the first range wherever it stands.
    local lerp = noise.grid(N.InterpolateLinear, 2, { 0, 10, 4 }, { 0, 1, 3 })
    for j = 0, 2 do
      for i = 0, 3 do
        T.eq(lerp:get(i, j), N.InterpolateLinear(2, at(0, 10, 4, i), at(0, 1, 3, j)), "lerp")
      end
    end
    -- Ranges beyond the second stack their rows: the second runs fastest.
    local cube = noise.grid(P, { 0, 1, 3 }, { 0, 1, 2 }, { 5, 6, 4 })
    T.eq(cube:width(), 3, "cube width"); T.eq(cube:height(), 8, "cube height")
    for k = 0, 3 do
      for j = 0, 1 do
        for i = 0, 2 do
          T.eq(cube:get(i, k * 2 + j), P(at(0, 1, 3, i), at(0, 1, 2, j), at(5, 6, 4, k)), "cube")
        end
      end
    end
    local single = noise.grid(N.SCurve3, { 0.3, 99, 1 })
    T.eq(single:get(0, 0), N.SCurve3(0.3), "a range of one")
    local point = noise.grid(N.Int3DNoise, 1, 2, 3, 4)
    T.eq(point:width() * point:height(), 1, "no range: one value")
    T.eq(point:get(0, 0), N.Int3DNoise(1, 2, 3, 4), "Int3DNoise")
  end },
  { "the grid raises the error a point raises, and gives no map", function()
    N.Line.SetModule(N.C_MODULE_PERLIN)
    local expected = errorOf(N.Line.Calc, 1.5)
    T.eq(errorOf(noise.grid, N.Line.Calc, { 0, 2, 5 }), expected, "Line.Calc out of bounds")
    N.M_Curve.Clear()
    T.eq(errorOf(noise.grid, N.M_Curve.Calc, { 0, 1, 300 }, { threads = 3 }),
      errorOf(N.M_Curve.Calc, 0), "curve without points")
    T.eq(errorOf(noise.grid, N.Sphere.Calc, { -200, 0, 3 }, 0), errorOf(N.Sphere.Calc, -200, 0),
      "Sphere.Calc out of bounds")
  end },
  { "one thread and many give the same maps", function()
    local bounds = { 0.5, 4.5, -1, 2 }
    for _, entry in ipairs { { "planemap", {} }, { "planemap", { seamless = true } },
      { "spheremap", {} }, { "cylindermap", {} } } do
      local b = entry[1] == "spheremap" and { -90, 90, -180, 180 } or bounds
      local options = entry[2]
      options.threads = 1
      local one = flat(noise[entry[1]](N.M_RidgedMulti.Calc, b, 150, 120, options))
      for _, threads in ipairs { 2, 3, 8 } do
        options.threads = threads
        sameValues(flat(noise[entry[1]](N.M_RidgedMulti.Calc, b, 150, 120, options)), one,
          entry[1] .. " on " .. threads .. " threads")
      end
      options.threads = nil
      sameValues(flat(noise[entry[1]](N.M_RidgedMulti.Calc, b, 150, 120, options)), one,
        entry[1] .. " on every core")
    end
    local one = flat(noise.grid(P, { 0, 3, 90 }, 0.5, { 0, 3, 70 }, { threads = 1 }))
    sameValues(flat(noise.grid(P, { 0, 3, 90 }, 0.5, { 0, 3, 70 }, { threads = 5 })), one, "grid")
  end },
  { "seamless plane maps tile", function()
    N.M_Perlin.SetFrequency(2)
    local tile = noise.planemap(P, { 0, 2, 0, 2 }, 64, 64, { seamless = true })
    local inside, across = steps(tile)
    T.check(across <= inside, string.format("the wrap steps %g, more than %g inside", across, inside))
    local plain = noise.planemap(P, { 0, 2, 0, 2 }, 64, 64)
    inside, across = steps(plain)
    T.check(across > inside, "plain noise should not tile")
    N.M_Perlin.SetFrequency(1.3)
  end },
  { "map methods", function()
    local m = noise.grid(N.InterpolateLinear, { 0, 3, 4 }, { 0, 30, 3 }, 0.5)
    T.eq(tostring(m), "map (4 x 3)", "tostring")
    T.eq(getmetatable(m), "map", "the metatable is hidden")
    T.eq(m:get(3, 2), 16.5, "get")
    local lowest, highest = m:range()
    T.eq(lowest, 0, "lowest"); T.eq(highest, 16.5, "highest")
    local t = { "stale" }
    T.eq(m:flat(t), t, "flat gives the table it fills")
    T.eq(#t, 12, "flat fills width x height")
    T.eq(t[1], 0, "first"); T.eq(t[12], 16.5, "last, row after row")
    T.eq(m:rescale(-1, 1), m, "rescale gives the map")
    lowest, highest = m:range()
    T.eq(lowest, -1, "rescaled low"); T.eq(highest, 1, "rescaled high")
    m:clamp(0, 0.5)
    lowest, highest = m:range()
    T.eq(lowest, 0, "clamped low"); T.eq(highest, 0.5, "clamped high")
  end },
  { "stats: counts, the finite range, the mean and the histogram", function()
    local m = noise.grid(N.InterpolateLinear, { 0, 3, 4 }, 0, 0)  -- 0, 1, 2, 3
    local s = m:stats(3)
    T.eq(s.count, 4); T.eq(s.nan, 0); T.eq(s.infinite, 0)
    T.eq(s.min, 0); T.eq(s.max, 3); T.eq(s.mean, 1.5)
    T.eq(table.concat(s.histogram, " "), "1 1 2", "the last part closed")
    m:set(0, 0, 0 / 0); m:set(1, 0, math.huge)
    s = m:stats()
    T.eq(#s.histogram, 10, "ten parts by default")
    T.eq(s.nan, 1); T.eq(s.infinite, 1); T.eq(s.min, 2); T.eq(s.mean, 2.5)
    T.eq(s.histogram[1] + s.histogram[10], 2, "finite values only")
    m:set(2, 0, 0 / 0); m:set(3, 0, -math.huge)
    s = m:stats(2)
    T.eq(s.min, 0 / 0); T.eq(s.mean, 0 / 0); T.eq(s.histogram[1] + s.histogram[2], 0, "none finite")
    local big = noise.grid(N.InterpolateLinear, { 0, 1, 2 }, 0, 0)
    big:set(0, 0, 1.7e308); big:set(1, 0, 1.7e308)
    T.eq(big:stats().mean, 1.7e308, "no overflow")
  end },
  { "temporary maps are collected", function()
    collectgarbage()
    local before = collectgarbage("count")
    for _ = 1, 60 do noise.grid(N.SCurve3, { 0, 1, 512 * 512 }) end
    collectgarbage()
    T.check(collectgarbage("count") - before < 4096, "maps stay in memory after collection")
  end },
}

local img = image.new(2, 2)
local m = noise.planemap(P, { 0, 1, 0, 1 }, 4, 3)
local source = A .. "1 to 'planemap' (a noise object or a LibNoise function of a point expected, "
local plane = function(...) local r = noise.planemap(...); return r end
local sphere = function(...) local r = noise.spheremap(...); return r end
local grid = function(...) local r = noise.grid(...); return r end
local volume = function(...) local r = noise.volumemap(...); return r end
local box = { 0, 1, 0, 1, 0, 1 }
local unit = { 0, 1, 0, 1 }
local tooLarge = "the grid is too large a map (at most 268435456 values, 1000000 a side))"

-- Every refusal: name, expected message, function, arguments. The calls
-- are no tail calls, so that errors name the function.
local bad = {
  { "no source", source .. "got nil)", plane, nil, unit, 4, 4 },
  { "a number", source .. "got number)", plane, 3, unit, 4, 4 },
  { "a Lua function", source .. "got function)", plane, print, unit, 4, 4 },
  { "turbulence", source .. "got LibNoise.M_Turbulence.Calc, which returns three numbers)",
    plane, N.M_Turbulence.Calc, unit, 4, 4 },
  { "a setter", source .. "got LibNoise.M_Perlin.SetSeed, which changes a setting)",
    plane, N.M_Perlin.SetSeed, unit, 4, 4 },
  { "not a point", source .. "got LibNoise.Plane.Calc, which takes 2 numbers (sample it with grid))",
    plane, N.Plane.Calc, unit, 4, 4 },
  { "one number", source .. "got LibNoise.M_Curve.Calc, which takes 1 number (sample it with grid))",
    plane, N.M_Curve.Calc, unit, 4, 4 },
  { "options by name", A .. "5 to 'planemap' (options are given by name, got a number key)",
    plane, P, unit, 4, 4, { true } },
  { "bounds missing", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1} expected, got nil)",
    plane, P, nil, 4, 4 },
  { "bounds NaN", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: item 2 must be a finite number, got nan)",
    plane, P, { 0, 0 / 0, 0, 1 }, 4, 4 },
  { "bounds infinite", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: item 4 must be a finite number, got inf)",
    plane, P, { 0, 1, 0, 1 / 0 }, 4, 4 },
  { "bounds short", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: item 4 must be a finite number, got nil)",
    plane, P, { 0, 1, 0 }, 4, 4 },
  { "bounds reversed", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: x0 must be below x1, got 1 and 0)",
    plane, P, { 1, 0, 0, 1 }, 4, 4 },
  { "bounds empty", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: z0 must be below z1, got 2 and 2)",
    plane, P, { 0, 1, 2, 2 }, 4, 4 },
  { "span beyond the numbers", A .. "2 to 'planemap' (bounds {x0, x1, z0, z1}: x1 - x0 must be finite, got -1e+308 and 1e+308)",
    plane, P, { -1e308, 1e308, 0, 1 }, 4, 4 },
  { "cylinder span", A .. "2 to 'cylindermap' (bounds {angle0, angle1, height0, height1}: height1 - height0 must be finite, got -1.7e+308 and 1.7e+308)",
    function(...) local r = noise.cylindermap(...); return r end, P, { 0, 1, -1.7e308, 1.7e308 }, 4, 4 },
  { "positions", A .. "5 to 'planemap' (option 'positions' must be 'index' or 'noiseutils', got libnoise)",
    plane, P, unit, 4, 4, { positions = "libnoise" } },
  { "positions not a string", A .. "5 to 'spheremap' (option 'positions' must be 'index' or 'noiseutils', got boolean)",
    sphere, P, unit, 4, 4, { positions = true } },
  { "latitudes", A .. "2 to 'spheremap' (bounds {south, north, west, east}: south and north must lie within -90 and 90, got -91 and 0)",
    sphere, P, { -91, 0, 0, 1 }, 4, 4 },
  { "longitudes", A .. "2 to 'spheremap' (bounds {south, north, west, east}: west and east must lie within -180 and 180, got 0 and 360)",
    sphere, P, { 0, 10, 0, 360 }, 4, 4 },
  { "cylinder reversed", A .. "2 to 'cylindermap' (bounds {angle0, angle1, height0, height1}: height0 must be below height1, got 1 and -1)",
    function(...) local r = noise.cylindermap(...); return r end, P, { 0, 360, 1, -1 }, 4, 4 },
  { "width 0", A .. "3 to 'planemap' (width must be an integer from 1 to 1000000, got 0)",
    plane, P, unit, 0, 4 },
  { "height fraction", A .. "4 to 'planemap' (height must be an integer from 1 to 1000000, got 2.5)",
    plane, P, unit, 4, 2.5 },
  { "width NaN", A .. "3 to 'planemap' (width must be an integer from 1 to 1000000, got nan)",
    plane, P, unit, 0 / 0, 4 },
  { "width huge", A .. "3 to 'planemap' (width must be an integer from 1 to 1000000, got 1e+15)",
    plane, P, unit, 1e15, 4 },
  { "height string", A .. "4 to 'planemap' (number expected, got string)", plane, P, unit, 4, "4" },
  { "too many values", A .. "4 to 'planemap' (100000 x 100000 values is too large a map (at most 268435456 values))",
    plane, P, unit, 100000, 100000 },
  { "options", A .. "5 to 'planemap' (table of options expected, got number)", plane, P, unit, 4, 4, 1 },
  { "unknown option", A .. "5 to 'planemap' (unknown option 'seemless')",
    plane, P, unit, 4, 4, { seemless = true } },
  { "options through __index", A .. "5 to 'planemap' (options come from the table's own entries, not through __index)",
    plane, P, unit, 4, 4, setmetatable({}, { __index = { threads = 2 } }) },
  { "light options through __index", A .. "3 to 'render' (options come from the table's own entries, not through __index)",
    function() local r = noise.render(m, image.new(4, 3), { gradient = { { 0, 1, 2, 3 } },
      light = setmetatable({}, { __index = { azimuth = 3 } }) }); return r end },
  { "seamless sphere", A .. "5 to 'spheremap' (unknown option 'seamless')",
    sphere, P, unit, 4, 4, { seamless = true } },
  { "seamless not boolean", A .. "5 to 'planemap' (option 'seamless' must be a boolean, got number)",
    plane, P, unit, 4, 4, { seamless = 1 } },
  { "no threads", A .. "5 to 'planemap' (option 'threads' must be an integer from 1 to 256, got 0)",
    plane, P, unit, 4, 4, { threads = 0 } },
  { "threads fraction", A .. "5 to 'planemap' (option 'threads' must be an integer from 1 to 256, got 1.5)",
    plane, P, unit, 4, 4, { threads = 1.5 } },
  { "threads string", A .. "5 to 'planemap' (option 'threads' must be an integer from 1 to 256, got string)",
    plane, P, unit, 4, 4, { threads = "2" } },
  { "volume not a point", A .. "1 to 'volumemap' (a noise object or a LibNoise function of a point expected, got LibNoise.SCurve3, which takes 1 number (sample it with grid))",
    volume, N.SCurve3, box, 2, 2, 2 },
  { "volume bounds short", A .. "2 to 'volumemap' (bounds {x0, x1, y0, y1, z0, z1}: item 6 must be a finite number, got nil)",
    volume, P, { 0, 1, 0, 1, 0 }, 2, 2, 2 },
  { "volume reversed", A .. "2 to 'volumemap' (bounds {x0, x1, y0, y1, z0, z1}: y0 must be below y1, got 1 and 1)",
    volume, P, { 0, 1, 1, 1, 0, 1 }, 2, 2, 2 },
  { "volume span", A .. "2 to 'volumemap' (bounds {x0, x1, y0, y1, z0, z1}: z1 - z0 must be finite, got -1e+308 and 1e+308)",
    volume, P, { 0, 1, 0, 1, -1e308, 1e308 }, 2, 2, 2 },
  { "volume depth", A .. "5 to 'volumemap' (depth must be an integer from 1 to 1000000, got 0)",
    volume, P, box, 2, 2, 0 },
  { "volume depth missing", A .. "5 to 'volumemap' (number expected, got no value)",
    volume, P, box, 2, 2 },
  { "volume too large", A .. "5 to 'volumemap' (1000 x 1000 x 1000 values is too large a volume (at most 268435456 values))",
    volume, P, box, 1000, 1000, 1000 },
  { "volume option", A .. "6 to 'volumemap' (unknown option 'flip')",
    volume, P, box, 2, 2, 2, { flip = true } },
  { "volume of a broken object", A .. "1 to 'volumemap' (Add needs source 2)",
    volume, noise.Add(noise.Perlin {}), box, 2, 2, 2 },
  { "grid turbulence", A .. "1 to 'grid' (a LibNoise function that returns one number expected, got LibNoise.M_Turbulence.Calc, which returns three numbers)",
    grid, N.M_Turbulence.Calc, 0, 0, 0 },
  { "grid LatLonOnSphere", A .. "1 to 'grid' (a LibNoise function that returns one number expected, got LibNoise.LatLonOnSphere, which returns three numbers)",
    grid, N.LatLonOnSphere, 0, 0, 0, 0, 0 },
  { "grid setter", A .. "1 to 'grid' (a LibNoise function that returns one number expected, got LibNoise.Plane.SetModule, which changes a setting)",
    grid, N.Plane.SetModule, 6 },
  { "grid table", A .. "1 to 'grid' (a LibNoise function that returns one number expected, got table)",
    grid, {}, 6 },
  { "grid too few", A .. "1 to 'grid' (LibNoise.Plane.Calc takes 2 arguments, got 1)",
    grid, N.Plane.Calc, { 0, 1, 2 } },
  { "grid too many", A .. "1 to 'grid' (LibNoise.SCurve3 takes 1 argument, got 3)",
    grid, N.SCurve3, 1, 2, 3 },
  { "grid string", A .. "2 to 'grid' (number or range {from, to, count} expected, got string)",
    grid, N.SCurve3, "0" },
  { "grid range NaN", A .. "2 to 'grid' (range {from, to, count}: item 1 must be a finite number, got nan)",
    grid, N.SCurve3, { 0 / 0, 1, 3 } },
  { "grid span", A .. "2 to 'grid' (range {from, to, count}: to - from must be finite, got -1e+308 and 1e+308)",
    grid, N.SCurve3, { -1e308, 1e308, 3 } },
  { "grid span down", A .. "2 to 'grid' (range {from, to, count}: to - from must be finite, got 1e+308 and -1e+308)",
    grid, N.SCurve3, { 1e308, -1e308, 3 } },
  { "grid count", A .. "3 to 'grid' (range {from, to, count}: count must be an integer from 1 to 1000000, got 0)",
    grid, N.Plane.Calc, 0, { 0, 1, 0 } },
  { "grid count missing", A .. "2 to 'grid' (range {from, to, count}: count must be a number, got nil)",
    grid, N.SCurve3, { 0, 1 } },
  { "grid too large", A .. "3 to 'grid' (" .. tooLarge,
    grid, N.Plane.Calc, { 0, 1, 100000 }, { 0, 1, 100000 } },
  { "grid tall", A .. "5 to 'grid' (" .. tooLarge,
    grid, N.M_Perlin.Calc, { 0, 1, 2 }, { 0, 1, 2000 }, { 0, 1, 1000 }, { threads = 1 } },
  { "grid options", A .. "3 to 'grid' (unknown option 'thread')",
    grid, N.SCurve3, { 0, 1, 2 }, { thread = 2 } },
  { "get x", A .. "1 to 'get' (x must be an integer from 0 to 3, got 4)",
    function() local r = m:get(4, 0); return r end },
  { "get y", A .. "2 to 'get' (y must be an integer from 0 to 2, got -1)",
    function() local r = m:get(0, -1); return r end },
  { "get NaN", A .. "2 to 'get' (y must be an integer from 0 to 2, got nan)",
    function() local r = m:get(0, 0 / 0); return r end },
  { "flat", A .. "1 to 'flat' (table expected, got number)", function() local r = m:flat(5); return r end },
  { "rescale", A .. "2 to 'rescale' (high must not be below low (1), got 0)",
    function() local r = m:rescale(1, 0); return r end },
  { "clamp", A .. "1 to 'clamp' (low must be finite, got nan)", function() local r = m:clamp(0 / 0, 1); return r end },
  { "stats bins", A .. "1 to 'stats' (bins must be an integer from 1 to 10000, got 0)",
    function() local r = m:stats(0); return r end },
  { "stats bins string", A .. "1 to 'stats' (number expected, got string)",
    function() local r = m:stats("4"); return r end },
  { "self an image", A .. "1 to 'get' (map expected, got userdata)", function() local r = m.get(img, 0, 0); return r end },
  { "self a file", A .. "1 to 'width' (map expected, got userdata)", function() local r = m.width(io.stdout); return r end },
  { "bad self", "calling 'height' on bad self (map expected, got table)",
    function() local impostor = { height = m.height }; local r = impostor:height(); return r end },
}
local cases = {}
for _, case in ipairs(bad) do
  cases[#cases + 1] = { case[1], function()
    local message = errorOf(case[3], unpack(case, 4, table.maxn(case)))
    -- LuaJIT puts where the call was made in front.
    T.eq(message:gsub("^[^:]*:%d+: ", ""), case[2], "error")
  end }
end
T.run(cases)
