-- Noise objects through `require "noisebind"` in each Lua the module is
-- built for: construction, fields, sources, errors and collection, where
-- the versions differ (user values, integers, finalizers).
local noise = require("noisebind")

local function check(condition, message)
  if not condition then error(message, 2) end
end

local function fails(pattern, f, ...)
  local ok, message = pcall(f, ...)
  check(not ok, "no error, expected " .. pattern)
  check(tostring(message):find(pattern, 1, true), "expected " .. pattern .. ", got " .. tostring(message))
end

local a, b = noise.Perlin { seed = 1 }, noise.Billow { seed = 2 }
local add = noise.Add(a, b)
check(add:calc(0.5, 0.25, 0.125) == a:calc(0.5, 0.25, 0.125) + b:calc(0.5, 0.25, 0.125), "Add")
check(a.octaves == 6 and math.type == nil or math.type(a.octaves) == "integer", "octaves an integer")
check(a.quality == "standard", "quality")
a.frequency = 2.5
check(a.frequency == 2.5, "frequency written")
check(add:source(1) == a, "source 1")
fails("Add needs source 2", function() return noise.Add(a):calc(0, 0, 0) end)
fails("Perlin.octaves must be an integer from 1 to 30, got 0", function() a.octaves = 0 end)
fails("Perlin has no field 'octave'", function() return a.octave end)
local s = noise.ScaleBias(add)
fails("would make a cycle", function() add:setsource(1, s) end)

-- Sources made as temporaries outlive a collection.
local graph = noise.Select(noise.Const { value = -1 }, noise.Const { value = 1 },
  noise.ScaleBias(noise.Perlin(), { scale = 2 }), { lower = 0, upper = 5 })
local before = graph:sphere(10, 20)
collectgarbage()
collectgarbage()
check(graph:sphere(10, 20) == before, "graph kept its sources")
print(_VERSION .. ": 1 passed, 0 failed")
