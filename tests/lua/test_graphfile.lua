-- Graph files from Lua: random graphs of every class, shared nodes and the
-- doubles' edges round trip bit for bit through text and tables, in every
-- Lua; the functions' errors.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local noise = require "noisebind"
local unpack = unpack or table.unpack

-- A generator of our own, so that every Lua draws the same graphs.
local state = 12345
local function draw(n)
  state = (state * 1103515245 + 12345) % 2147483648
  return state % n + 1
end
local function pick(list) return list[draw(#list)] end

local extremes = { -0.0, 5e-324, -2.2250738585072014e-308, 1.7976931348623157e308, 0.1, 1 / 3,
  -2147483648, 2147483647, 1e-300, 0, 2, 0.5 }
local schema = noise.classes()

-- A value for a field of the schema: extreme now and then.
local function value_for(field)
  if field.type == "boolean" then return draw(2) == 1 end
  if field.type == "quality" then return pick(field.values) end
  if field.type == "integer" then
    if draw(3) == 1 then return pick({ field.minimum, field.maximum }) end
    return field.minimum + draw(math.min(field.maximum - field.minimum, 7)) - 1
  end
  if draw(3) == 1 then return pick(extremes) end
  return (draw(4001) - 2001) / 1000
end

-- About `count` nodes of random classes, each reading nodes made before.
local function random_graph(count)
  local pool = { noise.Perlin { seed = draw(100) } }
  for n = 1, count do
    local class = pick(schema.classes)
    local sources = {}
    for i = 1, #class.sources do sources[i] = pool[#pool - draw(math.min(#pool, 4)) + 1] end
    local object = noise[class.class](unpack(sources, 1, #class.sources))
    for _, field in ipairs(class.fields) do
      if field.name == "points" then
        local points, used = {}, {}
        for i = 1, draw(6) + field.minItems - 1 do
          local input = (draw(20001) - 10001) / 5000
          while used[input] do input = input + 1 / 1024 end
          used[input] = true
          points[i] = field.type == "pairs" and { input, value_for({ type = "number" }) } or input
        end
        object.points = points
      else
        pcall(function() object[field.name] = value_for(field) end)
      end
    end
    if draw(4) == 1 then object.name = "node " .. n .. " \"é\"" end
    pool[#pool + 1] = object
  end
  return pool[#pool], pool[#pool - 1]
end

local function same(a, b)
  if a ~= a then return b ~= b end
  return a == b and 1 / a == 1 / b
end

local points = {}
for i = 1, 20 do points[i] = { (draw(2001) - 1001) / 37, (draw(2001) - 1001) / 91, draw(9) - 5 } end
local function check_values(expected, actual)
  for _, p in ipairs(points) do
    local a = expected:calc(p[1], p[2], p[3])
    local b = actual:calc(p[1], p[2], p[3])
    T.check(same(a, b), string.format("%.17g vs %.17g", a, b))
  end
  local ma = noise.planemap(expected, { -3, 3, -2, 2 }, 9, 5):flat()
  local mb = noise.planemap(actual, { -3, 3, -2, 2 }, 9, 5):flat()
  for i = 1, #ma do T.check(same(ma[i], mb[i]), "map value " .. i) end
end

local function scratch_file()
  local path = os.tmpname()
  os.remove(path)
  return path
end

T.run({
  { "random graphs round trip bit for bit through text and tables", function()
    for round = 1, 12 do
      local first, second = random_graph(30)
      local graph = { terrain = first, caves = noise.Add(first, second) }
      for _, compact in ipairs({ false, true }) do
        local text = noise.encode(graph, { compact = compact })
        local outputs, nodes = noise.decode(text)
        T.eq(noise.encode(outputs, { compact = compact }), text, "text again, round " .. round)
        T.check(outputs.caves:source(1) == outputs.terrain, "shared nodes stay shared")
        local document = noise.encode(graph, { compact = compact, table = true })
        T.eq(noise.encode((noise.decode(document)), { compact = compact }), text, "through a table")
        if first.name then T.check(nodes[first.name] == outputs.terrain, "nodes by their names") end
        check_values(first, outputs.terrain)
        check_values(graph.caves, outputs.caves)
      end
    end
  end },
  { "a noise object is the output main", function()
    local outputs, nodes = noise.decode(noise.encode(noise.Perlin { name = "hills", seed = -7 }))
    T.eq(outputs.main.seed, -7)
    T.check(nodes.hills == outputs.main and nodes.hills.name == "hills", "named")
    local unnamed = noise.decode(noise.encode(noise.Billow()))
    T.eq(unnamed.main.name, nil, "made-up ids are not names")
  end },
  { "a document as a table", function()
    local outputs = noise.decode({
      format = "noisebind-graph", version = 1,
      nodes = {
        { id = "hills", class = "Perlin", sources = {}, fields = { octaves = 3, quality = "best" } },
        { id = "bent", class = "Curve", sources = { "hills" },
          fields = { points = { { -1, -1 }, { 0, 0.5 }, { 0.5, 0.6 }, { 1, 1 } } } },
        { id = "half", class = "Add", sources = { "bent", false } },
      },
      outputs = { main = "bent", half = "half" },
    })
    T.eq(outputs.main:source(1).octaves, 3)
    T.eq(outputs.half:source(2), nil, "false is a missing source")
    local document = noise.encode(outputs, { table = true })
    T.eq(document.nodes[3].sources[2], false)
    T.eq(document.outputs.main, "bent")
  end },
  { "the schema", function()
    T.eq(#schema.classes, 28)
    local perlin, select
    for _, class in ipairs(schema.classes) do
      if class.class == "Perlin" then perlin = class end
      if class.class == "Select" then select = class end
    end
    T.eq(perlin.fields[3].name, "octaves")
    T.eq(perlin.fields[3].default, 6)
    T.eq(perlin.fields[3].maximum, 30)
    T.eq(perlin.fields[5].default, "standard")
    T.eq(table.concat(select.sources, ","), "outside,inside,control")
  end },
  { "files, whole", function()
    local path = scratch_file()
    local hills = noise.Perlin { name = "hills", frequency = 0.1 }
    noise.savegraph(path, { main = hills }, { compact = true })
    local file = assert(io.open(path, "rb"))
    local text = file:read("*a")
    file:close()
    T.eq(text, noise.encode(hills, { compact = true }))
    local outputs = noise.loadgraph(path)
    T.eq(outputs.main.frequency, 0.1)
    file = assert(io.open(path, "wb"))
    file:write('{"format": "noisebind-graph",\n "version": 3}')
    file:close()
    T.checkerror(path .. ": the document is of version 3 of the format, newer than 1, the newest this noisebind reads",
                 noise.loadgraph, path)
    file = assert(io.open(path, "wb"))
    file:write('{"format": "noisebind-graph",\n "version": 1,\n "nodes": [}')
    file:close()
    T.checkerror(path .. ":3:12: syntax error while parsing value - unexpected '}'; expected '[', '{', or a literal",
                 noise.loadgraph, path)
    os.remove(path)
  end },
  { "errors", function()
    local p = noise.Perlin()
    local cases = {
      { "bad argument #1 to 'encode' (noise object or table expected, got number)", noise.encode, 5 },
      { "bad argument #1 to 'encode' (no outputs to write)", noise.encode, {} },
      { "bad argument #1 to 'encode' (output 'x' must be a noise object, got number)", noise.encode, { x = 1 } },
      { "bad argument #1 to 'encode' (output name '' must not be empty)", noise.encode, { [""] = p } },
      { "bad argument #1 to 'encode' (output names are strings, got number)", noise.encode, { p } },
      { "bad argument #2 to 'encode' (unknown option 'pretty')", noise.encode, p, { pretty = true } },
      { "bad argument #2 to 'encode' (option 'compact' must be a boolean, got number)", noise.encode, p, { compact = 1 } },
      { "two nodes are named 'a'", noise.encode, noise.Add(noise.Perlin { name = "a" }, noise.Perlin { name = "a" }) },
      { "bad argument #1 to 'decode' (string or table expected, got no value)", noise.decode },
      { "the document has no outputs", noise.decode, '{"format": "noisebind-graph", "version": 1, "nodes": [], "outputs": {}}' },
      { "a graph document cannot hold a function", noise.decode, { format = print } },
      { "a table of a graph document is a list (keys 1 to n) or has string keys only", noise.decode, { 1, x = 2 } },
      { "the document nests lists and objects deeper than 8 levels", noise.decode, { { { { { { { { { {} } } } } } } } } } },
      { "the document is longer than 4194304 bytes", noise.decode, { nodes = { ("x"):rep(2 ^ 22) } } },
      { "bad argument #3 to 'savegraph' (unknown option 'table')", noise.savegraph, "x.json", p, { table = true } },
      { "bad argument #1 to 'savegraph' (cannot write '/nonexistent/x.json': No such file or directory)", noise.savegraph, "/nonexistent/x.json", p },
      { "bad argument #1 to 'loadgraph' (cannot read '/nonexistent/x.json': No such file or directory)", noise.loadgraph, "/nonexistent/x.json" },
    }
    for _, case in ipairs(cases) do T.checkerror(unpack(case)) end
    local names = {
      { "a#1", "Perlin.name has a '#', which marks the ids noisebind makes up" },
      { ("x"):rep(129), "Perlin.name is longer than 128 bytes" },
      { "", "Perlin.name must not be empty" },
      { 5, "Perlin.name must be a string or nil, got number" },
    }
    for _, case in ipairs(names) do
      local ok, message = pcall(function() p.name = case[1] end)
      T.check(not ok and message:sub(-#case[2]) == case[2], tostring(message))
    end
  end },
})
