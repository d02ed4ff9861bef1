-- Rendering maps into images and saving heightmaps, through vessa: colours,
-- blending, light and normals on maps whose values are known exactly, the
-- files' layout, and every bad input.
local T = dofile("tests/lua/testlib.lua")
local ffi = require("ffi")
local N = LibNoise

-- A map of exactly known values: InterpolateLinear(x, y, 0) is x.
local function ramp(width, height)
  return noise.grid(N.InterpolateLinear, { 0, 1, width }, { 0, 1, height or 1 }, 0)
end

local read = T.read

local function errorOf(f, ...)
  local ok, message = pcall(f, ...)
  T.check(not ok, "the call succeeded")
  return (message:gsub("^[^:]*:%d+: ", ""))
end

local scratch = os.tmpname()

T.run {
  { "gradient colours at and between the stops", function()
    local m = ramp(5)
    local img = image.new(5, 1)
    T.eq(noise.render(m, img, { gradient = { { 0, 0, 0, 0 }, { 1, 200, 100, 40 } } }), img,
      "render gives the image")
    for i = 0, 4 do
      local r, g, b = img:get(i, 0)
      T.eq(r, math.floor(200 * i / 4 + 0.5), "red " .. i)
      T.eq(g, math.floor(100 * i / 4 + 0.5), "green " .. i)
      T.eq(b, math.floor(40 * i / 4 + 0.5), "blue " .. i)
    end
    -- Beyond the ends, the end colours.
    noise.render(m, img, { gradient = { { 0.3, 10, 20, 30 }, { 0.6, 40, 50, 60 } } })
    T.eq(select(1, img:get(0, 0)), 10, "below the first stop")
    T.eq(select(3, img:get(4, 0)), 60, "above the last stop")
  end },
  { "alpha blends onto what the image holds", function()
    local m = ramp(3)
    local img = image.new(3, 1)
    for i = 0, 2 do img:set(i, 0, 100, 100, 100) end
    noise.render(m, img, { gradient = { { 0, 200, 0, 0, 255 }, { 1, 200, 0, 0, 0 } } })
    T.eq(select(1, img:get(0, 0)), 200, "opaque")
    T.eq(select(1, img:get(1, 0)), 150, "half")
    T.eq(select(2, img:get(1, 0)), 50, "half green")
    T.eq(select(1, img:get(2, 0)), 100, "transparent")
  end },
  { "light", function()
    -- A slope rising to the east is lit from the west, shaded from the east.
    local grey = { { 0, 200, 200, 200 } }
    local slope = noise.grid(N.InterpolateLinear, { 0, 3, 4 }, { 0, 1, 4 }, 0)
    local west, east = image.new(4, 4), image.new(4, 4)
    noise.render(slope, west, { gradient = grey, light = { azimuth = 180 } })
    noise.render(slope, east, { gradient = grey, light = { azimuth = 0 } })
    T.check(west:get(1, 1) > 200, "the slope facing the light is brighter than flat ground")
    T.check(east:get(1, 1) < 200, "the slope facing away is darker")
    noise.render(slope, east, { gradient = grey, light = { azimuth = 0, extent = 0.01 } })
    T.eq(east:get(1, 1), 0, "a cliff facing away is black")
  end },
  { "the default light gives a surface the same relief at any size", function()
    -- The same slope, rising by 16 across the map, sampled 16 and 128 pixels wide.
    local function slope(size)
      local m = noise.grid(N.InterpolateLinear, { 0, 0, size }, { 0, 0, size }, 0)
      for y = 0, size - 1 do
        for x = 0, size - 1 do m:set(x, y, x / size * 16) end
      end
      return m
    end
    local grey = { { 0, 200, 200, 200 } }
    local function lit(size, light)
      local img = image.new(size, size)
      noise.render(slope(size), img, { gradient = grey, light = light })
      return (img:get(size / 2, size / 2))
    end
    local small, large = lit(16, true), lit(128, true)
    T.eq(large, small, "16 and 128 pixels wide")
    T.check(small < 200, "the slope faces away from the light: " .. small)
    -- scale = 1 measures the slope between neighbours as they are.
    T.eq(lit(128, { scale = 1 }), lit(64, { scale = 0.5 }), "an explicit scale")
    T.check(lit(128, { scale = 1 }) > large, "finer maps are flatter at scale 1")
  end },
  { "normal maps", function()
    local flat = noise.grid(N.InterpolateLinear, { 0.5, 0.5, 3 }, 0, 0)
    local img = image.new(3, 1)
    T.eq(noise.normalmap(flat, img), img, "normalmap gives the image")
    local r, g, b = img:get(1, 0)
    T.eq(r, 128, "x"); T.eq(g, 128, "y"); T.eq(b, 255, "z")
  end },
  { "16-bit grey PNG", function()
    local path = scratch .. "-h.png"
    local m = ramp(7, 3)
    m:savepng(path)
    local png = read(path)
    T.eq(png:sub(1, 8), "\137PNG\r\n\26\n", "signature")
    T.eq(png:byte(25), 16, "bit depth")
    T.eq(png:byte(26), 0, "grey")
    T.eq(png:sub(-12), "\0\0\0\0IEND\174\66\96\130", "written whole")
    m:savepng(path, -10, 10)
    os.remove(path)
  end },
  { "raw float32", function()
    local path = scratch .. "-h.raw"
    local m = noise.grid(N.M_Perlin.Calc, { 0, 3, 5 }, 0.5, { 0, 2, 3 })
    m:saveraw(path)
    local bytes = read(path)
    T.eq(#bytes, 5 * 3 * 4, "four bytes a value")
    local floats = ffi.cast("const float*", bytes)
    for j = 0, 2 do
      for i = 0, 4 do T.eq(floats[j * 5 + i], m:get(i, j), "value " .. i .. ", " .. j) end
    end
    T.eq(bytes:sub(1, 4), ffi.string(ffi.new("float[1]", m:get(0, 0)), 4), "little-endian")
    os.remove(path)
  end },
  { "a failed save leaves the old file whole", function()
    local path = scratch .. "-old.raw"
    local m = ramp(4)
    m:saveraw(path)
    local before = read(path)
    local folder = scratch .. "-folder"
    os.execute("mkdir " .. folder)
    T.check(not pcall(m.saveraw, m, folder), "writing over a folder succeeded")
    T.eq(read(path), before, "the old file")
    os.remove(path)
    os.remove(folder)
  end },
}

-- Light on maps of known relief: each row renders a map under a light, and
-- every pixel must be what the row gives for it.
local side = 8
local grey = { { 0, 200, 200, 200 } }
local function mapOf(f)
  local m = noise.grid(N.InterpolateLinear, { 0, 0, side }, { 0, 0, side }, 0)
  for y = 0, side - 1 do
    for x = 0, side - 1 do m:set(x, y, f(x, y)) end
  end
  return m
end
local function lit(f, options)
  local img = image.new(side, side)
  return noise.render(mapOf(f), img, { gradient = grey, light = options.light, wrap = options.wrap })
end
local function colour(r, g, b) return function() return r, g, b end end
local function as(f, options, dx, dy)
  local img = lit(f, options)
  return function(x, y) return img:get((x + dx) % side, (y + dy) % side) end
end
local flat = function() return 0.5 end
local rough = function(x, y) return ((x * 7 + y * 3) % 5) / 10 + math.sin(x * y) end
local shore = function(x, y) return (x * x - 3 * y) / 10 end
local ramp2 = function(x, y) return x * 0.3 + y * 0.1 end
local shifted = function(x, y) return rough((x + 3) % side, (y + 5) % side) end
local seaFloor = function(x, y) return -1 + rough(x, y) / 10 end

local lights = {
  { "flat ground keeps the gradient's colour", flat, { light = true }, colour(200, 200, 200) },
  { "from any side, the sun low", flat, { light = { azimuth = 300, elevation = 10 } },
    colour(200, 200, 200) },
  { "the sun on the horizon", flat, { light = { elevation = 0 } }, colour(200, 200, 200) },
  { "times the brightness and the light's colour", flat,
    { light = { brightness = 1.2, color = { 255, 0, 51 } } }, colour(240, 0, 48) },
  { "noiseutils: flat ground at sqrt(2) sin(elevation) / 2", flat,
    { light = { model = "noiseutils", elevation = 90 } }, colour(141, 141, 141) },
  { "water below the level is flat", seaFloor, { light = { water = 0 } }, colour(200, 200, 200) },
  { "the shore meets the water at its level", shore, { light = { water = 0 } }, function(x, y)
      if shore(x, y) < 0 then return 200, 200, 200 end
      return as(function(i, j) return math.max(shore(i, j), 0) end, { light = true }, 0, 0)(x, y)
    end },
  { "wrapped edges follow the interior's rule", shifted, { light = true, wrap = true },
    as(rough, { light = true, wrap = true }, 3, 5) },
  { "an edge that does not wrap measures its slope over one pixel", ramp2,
    { light = { azimuth = 200 } },
    function() return as(ramp2, { light = { azimuth = 200 } }, 0, 0)(3, 3) end },
  { "extent: the map's side in the units of its values", rough, { light = { extent = 4 } },
    as(rough, { light = { scale = side / 4 } }, 0, 0) },
  { "noiseutils keeps its scale, the map's side / 64", rough, { light = { model = "noiseutils" } },
    as(rough, { light = { model = "noiseutils", scale = side / 64 } }, 0, 0) },
}
local lightCases = {}
for _, row in ipairs(lights) do
  lightCases[#lightCases + 1] = { row[1], function()
    local img = lit(row[2], row[3])
    for y = 0, side - 1 do
      for x = 0, side - 1 do
        local r, g, b = img:get(x, y)
        local wr, wg, wb = row[4](x, y)
        T.eq(string.format("%d %d %d", r, g, b), string.format("%d %d %d", wr, wg, wb),
          "pixel " .. x .. ", " .. y)
      end
    end
  end }
end
T.run(lightCases)

local m = ramp(4, 2)
local img = image.new(4, 2)
local gradient = { { 0, 0, 0, 0 }, { 1, 255, 255, 255 } }
local render = function(...) local r = noise.render(...); return r end
local normalmap = function(...) local r = noise.normalmap(...); return r end
local A = "bad argument #"
local stopShape = "{value, red, green, blue [, alpha]}"
local missing = os.tmpname()
os.remove(missing)

local bad = {
  { "no map", A .. "1 to 'render' (map expected, got userdata)", render, img, img, {} },
  { "no image", A .. "2 to 'render' (image expected, got table)", render, m, {}, {} },
  { "image size", A .. "2 to 'render' (the image is 3 x 2, the map 4 x 2)",
    render, m, image.new(3, 2), { gradient = gradient } },
  { "no options", A .. "3 to 'render' (table of options expected, got no value)", render, m, img },
  { "no gradient", A .. "3 to 'render' (option 'gradient' must be a table of stops " .. stopShape .. ", got nil)",
    render, m, img, {} },
  { "no stops", A .. "3 to 'render' (the gradient has no stops)", render, m, img, { gradient = {} } },
  { "a stop not a table", A .. "3 to 'render' (gradient stop 2 must be a table " .. stopShape .. ", got number)",
    render, m, img, { gradient = { { 0, 1, 2, 3 }, 5 } } },
  { "a colour missing", A .. "3 to 'render' (gradient stop 1: item 4 must be a finite number, got nil)",
    render, m, img, { gradient = { { 0, 1, 2 } } } },
  { "a NaN value", A .. "3 to 'render' (gradient stop 1: item 1 must be a finite number, got nan)",
    render, m, img, { gradient = { { 0 / 0, 1, 2, 3 } } } },
  { "stops out of order", A .. "3 to 'render' (gradient stops out of order: stop 2 (0.5) must be above stop 1 (1))",
    render, m, img, { gradient = { { 1, 0, 0, 0 }, { 0.5, 0, 0, 0 } } } },
  { "stops repeated", A .. "3 to 'render' (gradient stops out of order: stop 3 (1) must be above stop 2 (1))",
    render, m, img, { gradient = { { 0, 0, 0, 0 }, { 1, 0, 0, 0 }, { 1, 9, 9, 9 } } } },
  { "unknown option", A .. "3 to 'render' (unknown option 'lights')",
    render, m, img, { gradient = gradient, lights = true } },
  { "light a number", A .. "3 to 'render' (option 'light' must be a table or a boolean, got number)",
    render, m, img, { gradient = gradient, light = 1 } },
  { "light elevation", A .. "3 to 'render' (light option 'elevation' must be from 0 to 90, got 95)",
    render, m, img, { gradient = gradient, light = { elevation = 95 } } },
  { "light scale", A .. "3 to 'render' (light option 'scale' must be from 0 to 1000000, got -1)",
    render, m, img, { gradient = gradient, light = { scale = -1 } } },
  { "light extent and scale", A .. "3 to 'render' (light options 'extent' and 'scale' say the same: give one)",
    render, m, img, { gradient = gradient, light = { extent = 4, scale = 2 } } },
  { "light extent", A .. "3 to 'render' (light option 'extent' must be from 1e-06 to 1000000000000, got 0)",
    render, m, img, { gradient = gradient, light = { extent = 0 } } },
  { "light water", A .. "3 to 'render' (light option 'water' must be from -inf to inf, got nan)",
    render, m, img, { gradient = gradient, light = { water = 0 / 0 } } },
  { "light model", A .. "3 to 'render' (light option 'model' must be 'surface' or 'noiseutils', got lambert)",
    render, m, img, { gradient = gradient, light = { model = "lambert" } } },
  { "light unknown", A .. "3 to 'render' (unknown light option 'azimut')",
    render, m, img, { gradient = gradient, light = { azimut = 3 } } },
  { "light colour", A .. "3 to 'render' (light color {red, green, blue}: item 3 must be a finite number, got nil)",
    render, m, img, { gradient = gradient, light = { color = { 1, 2 } } } },
  { "wrap", A .. "3 to 'render' (option 'wrap' must be a boolean, got string)",
    render, m, img, { gradient = gradient, wrap = "yes" } },
  { "bump", A .. "3 to 'normalmap' (option 'bump' must be a number, got string)",
    normalmap, m, img, { bump = "2" } },
  { "bump NaN", A .. "3 to 'normalmap' (option 'bump' must be from -1000000 to 1000000, got nan)",
    normalmap, m, img, { bump = 0 / 0 } },
  { "savepng path", A .. "1 to 'savepng' (string expected, got no value)",
    function() local r = m:savepng(); return r end },
  { "savepng range", A .. "3 to 'savepng' (high must be above low (1), got 1)",
    function() local r = m:savepng(missing, 1, 1); return r end },
  { "savepng NaN", A .. "2 to 'savepng' (low must be finite, got nan)",
    function() local r = m:savepng(missing, 0 / 0, 1); return r end },
  { "savepng missing folder", A .. "1 to 'savepng' (cannot write '" .. missing .. "/h.png': No such file or directory)",
    function() local r = m:savepng(missing .. "/h.png"); return r end },
  { "saveraw missing folder", A .. "1 to 'saveraw' (cannot write '" .. missing .. "/h.raw': No such file or directory)",
    function() local r = m:saveraw(missing .. "/h.raw"); return r end },
  { "saveraw self", A .. "1 to 'saveraw' (map expected, got userdata)",
    function() local r = m.saveraw(img, "x"); return r end },
}
local cases = {}
for _, case in ipairs(bad) do
  cases[#cases + 1] = { case[1], function()
    T.eq(errorOf(case[3], unpack(case, 4, table.maxn(case))), case[2], "error")
  end }
end
T.run(cases)
os.remove(scratch)
