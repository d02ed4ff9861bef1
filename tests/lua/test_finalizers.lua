-- Finalizers that change a graph, its points or its sources while a call
-- of the noise table runs: every Lua allocation may run one. Each case
-- makes the collector finish a cycle at the call's next allocation, with a
-- finalizer waiting in it, and checks that the call either works or raises
-- the graph's own error; never a crash, never a read past the points.
-- Run through vessa and through the module in every Lua.
local noise = require "noisebind"
local T = dofile("tests/lua/testlib.lua")

-- Lua 5.1 and LuaJIT finalize only userdata.
local function garbage_with_finalizer(f)
  if newproxy then
    getmetatable(newproxy(true)).__gc = f
  else
    setmetatable({}, { __gc = f })
  end
end

-- With `on`, every allocation runs the collector through a whole cycle,
-- finalizers included; without, Lua's defaults again.
local mode
local function eager_collector(on)
  if _VERSION == "Lua 5.4" then
    -- Pause and step multiplier are kept in quarters; a step of 2^40 bytes.
    if on then
      mode = collectgarbage("incremental", 1, 1000, 40)
    else
      collectgarbage("incremental", 200, 100, 13)
      collectgarbage(mode)
    end
  else
    collectgarbage("setpause", on and 0 or 200)
    collectgarbage("setstepmul", on and 1000000 or 200)
  end
end

-- Calls f(...) round after round, each with a finalizer `change` pending,
-- until `change` ran inside the call a few times (or `rounds` ran out);
-- `restore` undoes it before the next round. The collector runs without
-- pause and finishes a cycle at every allocation, with a varying amount of
-- other garbage. Gives the results of pcall
-- of every round, and how many rounds ran the change inside the call.
local function with_finalizer(rounds, change, restore, f, ...)
  local outcomes, inside, hits = {}, false, 0
  eager_collector(true)
  for round = 1, rounds do
    collectgarbage()
    for i = 1, round % 23 * 7 do local _ = { i } end
    -- A chain of finalizers, each leaving the next as garbage, so that the
    -- change waits one more cycle each round: past the collection Lua may
    -- run on entering the function, on to an allocation inside it.
    local function link(left)
      garbage_with_finalizer(function()
        if left > 0 then
          link(left - 1)
        elseif inside then
          hits = hits + 1
          change()
        end
      end)
    end
    link(round % 4)
    inside = true
    outcomes[round] = { pcall(f, ...) }
    inside = false
    collectgarbage()
    restore()
    if hits >= 3 then break end
  end
  eager_collector(false)
  return outcomes, hits
end

local function curve_points(n)
  local points = {}
  for i = 1, n do points[i] = { (i - 1) / n * 2 - 1, i } end
  return points
end

-- Every outcome a result of kind `kind`, or an error containing `reason`.
local function check_outcomes(outcomes, kind, reason, label)
  for round, outcome in ipairs(outcomes) do
    if outcome[1] then
      T.eq(type(outcome[2]), kind, label .. " round " .. round)
    else
      T.check(tostring(outcome[2]):find(reason, 1, true),
        label .. " round " .. round .. ": " .. tostring(outcome[2]))
    end
  end
end

local builders = {
  { "planemap", { 0, 1, 0, 1 } },
  { "spheremap", { -90, 90, -180, 180 } },
  { "cylindermap", { 0, 360, 0, 1 } },
}

T.run {
  { "a finalizer clears a Curve while a map of it starts", function()
    for _, builder in ipairs(builders) do
      local c = noise.Curve(noise.Const { value = 0.25 }, { points = curve_points(4) })
      local outcomes, hits = with_finalizer(200, function() c:clear() end,
        function() c.points = curve_points(4) end,
        noise[builder[1]], c, builder[2], 256, 128)
      T.check(hits > 0, builder[1] .. ": the finalizer never ran inside the call")
      check_outcomes(outcomes, "userdata", "Curve needs at least 4 control points, has 0",
        builder[1])
    end
  end },

  { "a finalizer removes a source, which is then collected", function()
    local add = noise.Add(noise.Perlin(), noise.Billow())
    local outcomes, hits = with_finalizer(200, function() add:setsource(2, nil) end,
      function() add:setsource(2, noise.Billow()) end,
      noise.planemap, add, { 0, 1, 0, 1 }, 256, 128)
    T.check(hits > 0, "the finalizer never ran inside the call")
    check_outcomes(outcomes, "userdata", "Add needs source 2", "planemap")
  end },

  { "a finalizer clears a Terrace deep in the graph", function()
    local terrace = noise.Terrace(noise.Perlin(), { points = { -1, 0, 1 } })
    local root = noise.ScaleBias(noise.Abs(terrace), { scale = 2 })
    local outcomes, hits = with_finalizer(200, function() terrace:clear() end,
      function() terrace.points = { -1, 0, 1 } end,
      noise.planemap, root, { 0, 1, 0, 1 }, 256, 128, { threads = 2 })
    T.check(hits > 0, "the finalizer never ran inside the call")
    check_outcomes(outcomes, "userdata", "Terrace needs at least 2 control points, has 0",
      "planemap")
  end },

  { "points read while a finalizer replaces or clears them", function()
    -- The list holds the points as they were when read: all of the old
    -- ones, or all of those the finalizer left.
    local function check_list(list, old, new, label)
      T.check(#list == #old or #list == #new, label .. ": " .. #list .. " points")
      local expected = #list == #old and old or new
      for i = 1, #list do
        local a, b = list[i], expected[i]
        T.check(a == b or (a[1] == b[1] and a[2] == b[2]), label .. ": point " .. i)
      end
    end
    local many = curve_points(1000)
    for _, change in ipairs {
      { curve_points(4), function(c) c.points = curve_points(4) end },
      { {}, function(c) c:clear() end },
    } do
      local c = noise.Curve(nil, { points = many })
      local outcomes, hits = with_finalizer(200, function() change[2](c) end,
        function() c.points = many end, function() return c.points end)
      T.check(hits > 0, "the finalizer never ran inside the read")
      for round, outcome in ipairs(outcomes) do
        T.check(outcome[1], tostring(outcome[2]))
        check_list(outcome[2], many, change[1], "curve round " .. round)
      end
    end
    local values = {}
    for i = 1, 1000 do values[i] = i end
    local terrace = noise.Terrace(nil, { points = values })
    local outcomes, hits = with_finalizer(200, function() terrace.points = { 1, 2 } end,
      function() terrace.points = values end, function() return terrace.points end)
    T.check(hits > 0, "the finalizer never ran inside the terrace read")
    for round, outcome in ipairs(outcomes) do
      T.check(outcome[1], tostring(outcome[2]))
      check_list(outcome[2], values, { 1, 2 }, "terrace round " .. round)
    end
  end },

  { "graph files written, read and named while a finalizer changes the graph", function()
    local hills = noise.Perlin { name = "hills" }
    local graph = noise.Add(hills, noise.Curve(hills, { points = curve_points(4) }))
    local text = noise.encode(graph)
    -- Written: the text of the graph before or after the change, or the
    -- change's own refusal.
    local other = noise.Billow { name = "other" }
    local outcomes, hits = with_finalizer(200, function()
      graph:setsource(2, other)
      hills.name = "renamed"
    end, function()
      graph:setsource(2, noise.Curve(hills, { points = curve_points(4) }))
      hills.name = "hills"
    end, noise.encode, graph)
    T.check(hits > 0, "the finalizer never ran inside encode")
    for round, outcome in ipairs(outcomes) do
      T.check(outcome[1], tostring(outcome[2]))
      local outputs = noise.decode(outcome[2])
      T.eq(noise.encode(outputs.main), outcome[2], "encode round " .. round)
    end
    -- Read: the graph whole, whatever the finalizer changes meanwhile.
    outcomes, hits = with_finalizer(200, function() hills.name = "renamed" end,
      function() hills.name = "hills" end, noise.decode, text)
    T.check(hits > 0, "the finalizer never ran inside decode")
    for round, outcome in ipairs(outcomes) do
      T.check(outcome[1], tostring(outcome[2]))
      T.eq(noise.encode(outcome[2].main), text, "decode round " .. round)
      T.check(outcome[3].hills == outcome[2].main:source(1), "nodes by id, round " .. round)
    end
    -- A name read: the old one or the new one, whole.
    local long = ("n"):rep(128)
    outcomes, hits = with_finalizer(200, function() hills.name = long end,
      function() hills.name = "hills" end, function() return hills.name end)
    T.check(hits > 0, "the finalizer never ran inside the read")
    for _, outcome in ipairs(outcomes) do
      T.check(outcome[2] == "hills" or outcome[2] == long, tostring(outcome[2]))
    end
  end },
}
