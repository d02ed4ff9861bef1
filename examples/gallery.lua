-- The gallery: a picture of every class of noise.classes(), the class on
-- plain sources, with two or three values side by side of the settings worth
-- showing; beside each its graph file, and the page docs/gallery.md.
--
--   vessa examples/gallery.lua [FOLDER] [SIZE]
--
-- writes FOLDER/gallery.md and FOLDER/gallery/<Class>.png and .json
-- (FOLDER is docs by default, each panel SIZE pixels square, 128 by default).
-- A class of the schema without a recipe below gets the default one: the
-- plain source of each role its sources play, its settings at their defaults.
local noise = require "noisebind"
local folder, panel = ...
folder = folder or "docs"
panel = tonumber(panel) or 128
local gap = math.max(1, math.floor(panel / 64))

-- Every panel: the square from (-2, -2) to (2, 2), values from -1 to 1 in
-- grey, without light, so that the pictures show values and nothing else.
local bounds = { -2, 2, -2, 2 }
local grey = { { -1, 0, 0, 0 }, { 1, 255, 255, 255 } }

-- The plain source of each role, by the role's name as the schema gives it;
-- a list gives the first, second, ... source of that role. A role missing
-- here gets a Perlin seeded by the source's place.
local function perlin(settings)
  settings.octaves = settings.octaves or 3
  return noise.Perlin(settings)
end
local function slow(seed)
  return perlin { frequency = 0.5, octaves = 2, seed = seed }
end
local plain = {
  source = {
    function() return perlin {} end,
    function() return noise.Spheres { frequency = 0.5 } end,
  },
  outside = { function() return perlin {} end },
  low = { function() return perlin {} end },
  inside = { function() return noise.Checkerboard() end },
  high = { function() return noise.Checkerboard() end },
  -- 1 at the centre down to -1 at distance 2: a disc, a ring, a ramp.
  control = { function() return noise.Cylinders { frequency = 0.25 } end },
  ["x displacement"] = { function() return slow(2) end },
  ["y displacement"] = { function() return slow(3) end },
  ["z displacement"] = { function() return slow(4) end },
  -- A base of zero and above, an exponent from about 0.15 to 0.85: no roots
  -- of negative numbers, and each in the picture's range.
  base = { function() return noise.Abs(perlin {}) end },
  exponent = { function() return noise.ScaleBias(slow(5), { scale = 0.5, bias = 0.5 }) end },
}

-- The recipes: `fields` for every panel, `vary` the settings of each panel
-- (one panel at the defaults when absent).
local curve = {
  contrast = { { -2, -1 }, { -0.3, -0.9 }, { 0.3, 0.9 }, { 2, 1 } },
  ridges = { { -2, -1 }, { -0.5, -0.5 }, { 0, 1 }, { 0.5, -0.5 }, { 2, -1 } },
}
local octaves = { { octaves = 1 }, { octaves = 3 }, { octaves = 6 } }
local frequency = { { frequency = 1 }, { frequency = 2 } }
local recipes = {
  Billow = { vary = octaves },
  Clamp = { vary = { { lower = -0.5, upper = 0.5 }, { lower = 0, upper = 1 } } },
  Const = { vary = { { value = -0.5 }, { value = 0.5 } } },
  Curve = { vary = { { points = curve.contrast }, { points = curve.ridges } } },
  Cylinders = { vary = frequency },
  Exponent = { vary = { { exponent = 0.5 }, { exponent = 2 }, { exponent = 4 } } },
  Perlin = { vary = octaves },
  RidgedMulti = { vary = octaves },
  RotatePoint = { vary = { { y = 30 }, { y = 90 } } },
  ScaleBias = { vary = { { scale = 0.5 }, { bias = 0.5 }, { scale = -2 } } },
  ScalePoint = { vary = { { x = 0.25 }, { z = 0.25 } } },
  Select = { fields = { lower = 0, upper = 2 },
    vary = { { falloff = 0 }, { falloff = 0.2 }, { falloff = 0.5 } } },
  Spheres = { vary = frequency },
  Terrace = { vary = { { points = { -1, 0, 1 } }, { points = { -1, 0, 1 }, invert = true },
    { points = { -1, -0.6, -0.3, 0, 0.3, 0.6, 1 } } } },
  TranslatePoint = { vary = { { x = 1 }, { y = 0.5 } } },
  Turbulence = { vary = { { power = 0.1 }, { power = 0.25 }, { power = 0.5 } } },
  Voronoi = { fields = { frequency = 2 },
    vary = { { distance = false }, { distance = true }, { distance = true, displacement = 0 } } },
}

-- Values as a script writes them: numbers in their shortest exact form.
local function show(value)
  if type(value) == "number" then
    if value == math.floor(value) and math.abs(value) < 2 ^ 53 then
      return string.format("%d", value)
    end
    for digits = 1, 17 do
      local text = string.format("%." .. digits .. "g", value)
      if tonumber(text) == value then return text end
    end
  elseif type(value) == "table" then
    local items = {}
    for i, item in ipairs(value) do items[i] = show(item) end
    return "{ " .. table.concat(items, ", ") .. " }"
  end
  return tostring(value)
end

-- Settings as `name = value, ...`, in the schema's order of the fields.
local function settings_text(class, settings)
  local items = {}
  for _, field in ipairs(class.fields) do
    if settings[field.name] ~= nil then
      items[#items + 1] = field.name .. " = " .. show(settings[field.name])
    end
  end
  return table.concat(items, ", ")
end

local schema = {}
for _, class in ipairs(noise.classes().classes) do schema[class.class] = class end

-- A node of an encoded graph as a constructor call, settings only where they
-- differ from the defaults: Abs(Perlin { octaves = 3 }).
local function describe(nodes, id)
  local node = nodes[id]
  local class = schema[node.class]
  local changed = {}
  for _, field in ipairs(class.fields) do
    if show(node.fields[field.name]) ~= show(field.default) then
      changed[field.name] = node.fields[field.name]
    end
  end
  local parts = {}
  for i, source in ipairs(node.sources) do parts[i] = describe(nodes, source) end
  local text = settings_text(class, changed)
  if text ~= "" then parts[#parts + 1] = "{ " .. text .. " }" end
  if #node.sources == 0 then
    return node.class .. (text ~= "" and " " .. parts[#parts] or "")
  end
  return node.class .. "(" .. table.concat(parts, ", ") .. ")"
end

local panel_names = { { "main" }, { "left", "right" }, { "left", "middle", "right" } }

-- Panels in rows of `columns` (all in one row by default), each `size`
-- pixels square unless given, on a white ground, saved as path.
local function picture(path, objects, columns, size)
  size = size or panel
  columns = math.min(columns or #objects, #objects)
  local rows = math.ceil(#objects / columns)
  local img = noise.image.new(columns * (size + gap) - gap, rows * (size + gap) - gap)
  for y = 0, img:height() - 1 do
    for x = 0, img:width() - 1 do img:set(x, y, 255) end
  end
  for i, object in ipairs(objects) do
    local m = noise.planemap(object, bounds, size, size)
    local drawn = noise.render(m, noise.image.new(size, size), { gradient = grey })
    local left, top = (i - 1) % columns * (size + gap), math.floor((i - 1) / columns) * (size + gap)
    for y = 0, size - 1 do
      for x = 0, size - 1 do img:set(left + x, top + y, drawn:get(x, y)) end
    end
  end
  img:save(path)
end

-- The plain sources the pictures use, each once, in the order met: its
-- object, its description and the roles it plays.
local used, used_by_description = {}, {}

-- A paragraph in lines of at most 100 characters, broken at spaces outside
-- code spans.
local function wrap(text)
  local words, word, code = {}, "", false
  for char in text:gmatch(".") do
    if char == " " and not code then
      words[#words + 1], word = word, ""
    else
      word, code = word .. char, code ~= (char == "`")
    end
  end
  words[#words + 1] = word
  local lines, line = {}, nil
  for _, word in ipairs(words) do
    if line and #line + 1 + #word > 100 then
      lines[#lines + 1], line = line, word
    else
      line = line and line .. " " .. word or word
    end
  end
  lines[#lines + 1] = line
  return table.concat(lines, "\n")
end

-- One class: its panels' objects over shared sources, named by their roles;
-- the picture and the graph file; the page's lines.
local function draw(class)
  local recipe = recipes[class.class] or {}
  local sources, seen = {}, {}
  for i, role in ipairs(class.sources) do
    seen[role] = (seen[role] or 0) + 1
    local make = plain[role] and plain[role][seen[role]]
    local source = make and make() or perlin { seed = i }
    source.name = seen[role] > 1 and role .. " " .. seen[role] or role
    sources[i] = source
  end
  local vary = recipe.vary or { {} }
  local names = assert(panel_names[#vary], class.class .. ": at most 3 panels")
  local objects, outputs, captions = {}, {}, {}
  for i, own in ipairs(vary) do
    local settings = {}
    for name, value in pairs(recipe.fields or {}) do settings[name] = value end
    for name, value in pairs(own) do settings[name] = value end
    local arguments = {}
    for k, source in ipairs(sources) do arguments[k] = source end
    arguments[#arguments + 1] = settings
    -- A class whose defaults cannot be built or evaluated (a Curve without
    -- points) needs settings from a recipe.
    local ok, object = pcall(noise[class.class], (table.unpack or unpack)(arguments))
    local problem = object
    if ok then ok, problem = pcall(object.calc, object, 0, 0, 0) end
    if not ok then
      error(class.class .. " needs a recipe in examples/gallery.lua: " .. tostring(problem), 0)
    end
    objects[i], outputs[names[i]] = object, object
    captions[i] = "`" .. settings_text(class, own) .. "`"
  end
  local base = folder .. "/gallery/" .. class.class
  picture(base .. ".png", objects)
  noise.savegraph(base .. ".json", outputs)

  -- The call with the settings of every panel, `…` for those that vary, its
  -- sources by their names.
  local shown, varied = {}, {}
  for name, value in pairs(recipe.fields or {}) do shown[name] = value end
  for _, own in ipairs(vary) do
    for name in pairs(own) do shown[name], varied[name] = "…", true end
  end
  local fields, arguments = settings_text(class, shown), {}
  for i, source in ipairs(sources) do arguments[i] = source.name:gsub(" ", "_") end
  if fields ~= "" then arguments[#arguments + 1] = "{ " .. fields .. " }" end
  local call = #sources == 0 and fields ~= "" and " { " .. fields .. " }"
    or "(" .. table.concat(arguments, ", ") .. ")"
  local text = class.description:gsub("^%l", string.upper) .. ": `noise." .. class.class .. call
    .. "`" .. (#vary > 1 and ", left to right " .. table.concat(captions, ", ") or "")
  local document = noise.encode(outputs, { table = true })
  local nodes = {}
  for _, node in ipairs(document.nodes) do nodes[node.id] = node end
  for i, source in ipairs(sources) do
    local description = describe(nodes, source.name)
    text = text .. (i == 1 and "; " or ", ") .. source.name:gsub(" ", "_") .. " `" .. description
      .. "`"
    local entry = used_by_description[description]
    if not entry then
      entry = { object = source, description = description, roles = {} }
      used_by_description[description], used[#used + 1] = entry, entry
    end
    if not entry.roles[source.name] then
      entry.roles[source.name], entry.roles[#entry.roles + 1] = true, source.name
    end
  end
  local alt = class.class
  if #vary > 1 then
    alt = alt .. ", " .. #vary .. " values of " .. settings_text(class, varied):gsub(" = true", "")
  end
  return table.concat({ "### " .. class.class, "", wrap(text .. "."), "",
    "![" .. alt .. "](gallery/" .. class.class .. ".png) [" .. class.class .. ".json](gallery/"
      .. class.class .. ".json)", "" }, "\n")
end

local function section(title, wanted)
  local lines = { "## " .. title .. "\n" }
  for _, class in ipairs(noise.classes().classes) do
    if wanted(#class.sources) then lines[#lines + 1] = draw(class) end
  end
  return table.concat(lines, "\n")
end
local generators = section("Generators", function(n) return n == 0 end)
local modifiers = section("Of one source", function(n) return n == 1 end)
local combiners = section("Of several sources", function(n) return n > 1 end)

-- The plain sources: one picture, an output each, named by its first role.
local objects, outputs, list = {}, {}, {}
for i, entry in ipairs(used) do
  objects[i], outputs[entry.object.name] = entry.object, entry.object
  list[i] = string.format("%d. %s: `%s`", i, table.concat(entry.roles, ", "), entry.description)
end
-- Smaller panels: there are many of them.
picture(folder .. "/gallery/sources.png", objects, 5, math.max(1, math.floor(panel * 3 / 4)))
noise.savegraph(folder .. "/gallery/sources.json", outputs)
local sources = "## The plain sources\n\n"
  .. wrap("The classes below read these sources, by the role each source plays (the schema's "
    .. "names), left to right and top to bottom:") .. "\n\n" .. table.concat(list, "\n") .. "\n\n"
  .. "![The plain sources](gallery/sources.png) [sources.json](gallery/sources.json)\n"

local intro = [[
# Pictures of every class

Each class of noise objects on plain sources, and where a setting matters two or three of its
values side by side. Every panel is the square from (-2, -2) to (2, 2) of the plane y = 0 (x
across, z down), values from -1 (black) to 1 (white), beyond them clamped, without light. Beside
each picture is its graph file: the graph of each panel as an output (`main`, or `left`,
`middle` and `right`), its sources named by their roles; load it with
`noise.loadgraph("docs/gallery/Select.json")`, change a setting and map it again (see
[Graph files](graph-files.md)). What each setting means: [Noise objects](objects.md).

`make gallery` writes the pictures, the files and this page again, with
`build/vessa examples/gallery.lua docs`, from the schema (`noise.classes()`): a new class gets
its picture with its settings at their defaults on the plain source of each of its sources'
roles, and a line in the script's `recipes` table shows two or three values of a setting.
]]
local file = assert(io.open(folder .. "/gallery.md", "wb"))
file:write(table.concat({ intro, generators, sources, modifiers, combiners }, "\n"))
file:close()
print(string.format("Wrote the gallery into %s (panels %d x %d)", folder, panel, panel))
