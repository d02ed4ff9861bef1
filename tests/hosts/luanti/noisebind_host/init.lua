-- The trusted mod of the Luanti host test. It requires noisebind.safe
-- through the insecure environment and hands the table on (noisebind_user
-- checks what an untrusted mod can reach), fills the map chunk at the
-- origin from a map and a volume in on_generated, makes the same in the
-- async environment, checks every digest and the chunk's stones against
-- plain luajit's (expected.lua), times maps against PerlinNoiseMap, then
-- writes its summary to the world folder and shuts the server down.
local modname = minetest.get_current_modname()
local modpath = minetest.get_modpath(modname)
local insecure = minetest.request_insecure_environment()
assert(insecure, modname .. " must be in secure.trusted_mods")
insecure.package.cpath = modpath .. "/?.so;" .. insecure.package.cpath
local noise = insecure.require("noisebind.safe")
local cases = dofile(modpath .. "/cases.lua")
local expected = dofile(modpath .. "/expected.lua")

local counts = { passed = 0, failed = 0, skipped = 0 }
local lines = {}
local function say(line)
  print(line)
  lines[#lines + 1] = line
end

local function check(ok, what, detail)
  if ok then
    counts.passed = counts.passed + 1
  else
    counts.failed = counts.failed + 1
    say("FAIL " .. what .. (detail ~= nil and (": " .. tostring(detail)) or ""))
  end
end

local function skip(what, missing)
  counts.skipped = counts.skipped + 1
  say("skipped: " .. what .. " (no " .. missing .. " in this build)")
end

noisebind_host = { noise = noise, check = check, skip = skip }

local function check_digests(where, digests)
  for name, want in pairs(expected) do
    check(digests[name] == want, where .. ": " .. name, tostring(digests[name]) .. " ~= " .. want)
  end
end

check(rawget(_G, "LibNoise") == nil and rawget(insecure, "LibNoise") == nil,
      "main environment: no global LibNoise")
check_digests("main environment", (cases.digests(noise)))

-- The chunk at the origin, filled from the maps of its own bounds.
minetest.register_node(modname .. ":stone", { description = "noise stone", tiles = { "blank.png" } })
local stone = minetest.get_content_id(modname .. ":stone")
local generated = false

minetest.register_on_generated(function(minp, maxp)
  local size = maxp.x - minp.x + 1
  local heights = cases.heightmap(noise, minp, size):flat()
  local volume, lack = cases.volume(noise, minp, size)
  local density = volume and volume:flat()
  if lack and minp.x == cases.chunk.minp.x then skip("a volume in on_generated", lack) end
  local vm, emin, emax = minetest.get_mapgen_object("voxelmanip")
  local area = VoxelArea:new { MinEdge = emin, MaxEdge = emax }
  local data = vm:get_data()
  for k = 0, size - 1 do
    for j = 0, size - 1 do
      for i = 0, size - 1 do
        if cases.is_stone(heights, density, size, i, j, k, minp.y + j) then
          data[area:index(minp.x + i, minp.y + j, minp.z + k)] = stone
        end
      end
    end
  end
  vm:set_data(data)
  vm:write_to_map()
  if minp.x == cases.chunk.minp.x and minp.y == cases.chunk.minp.y and minp.z == cases.chunk.minp.z then
    generated = true
  end
end)

local function count_chunk_stone()
  local minp, size = cases.chunk.minp, cases.chunk.size
  local maxp = vector.add(minp, size - 1)
  local vm = minetest.get_voxel_manip()
  local emin, emax = vm:read_from_map(minp, maxp)
  local area = VoxelArea:new { MinEdge = emin, MaxEdge = emax }
  local data = vm:get_data()
  local count = 0
  for index in area:iterp(minp, maxp) do
    if data[index] == stone then count = count + 1 end
  end
  return count
end

-- Best of `rounds` of `repeats` calls, in microseconds a call.
local function time(rounds, repeats, f)
  local best = math.huge
  for _ = 1, rounds do
    local start = minetest.get_us_time()
    for _ = 1, repeats do f() end
    best = math.min(best, (minetest.get_us_time() - start) / repeats)
  end
  return best
end

-- Our maps on one thread, each filling a map made once (into) and flattened
-- into a table made once, as get_*_map_flat fills the mod's buffer,
-- against PerlinNoiseMap of the same octaves and scale (other noise, the
-- same job).
local function timings()
  local params = { offset = 0, scale = 1, spread = { x = 64, y = 64, z = 64 }, seed = 7, octaves = 6,
                   persistence = 0.5, lacunarity = 2 }
  local perlin = cases.terrain(noise)
  local buffer, theirs = {}, {}
  local function plane(size)
    local options = { threads = 1, into = noise.planemap(perlin, { 0, 1, 0, 1 }, size, size) }
    local ours = time(5, size > 100 and 1 or 50, function()
      noise.planemap(perlin, { 0, size, 0, size }, size, size, options):flat(buffer)
    end)
    local map = minetest.get_perlin_map(params, { x = size, y = size })
    local reference = time(5, size > 100 and 1 or 50, function()
      map:get_2d_map_flat({ x = 0, y = 0 }, theirs)
    end)
    return string.format("%.2f", ours / reference)
  end
  local chunk, large = plane(80), plane(1024)
  local volume = "n/a (no noise.volumemap)"
  if noise.volumemap then
    local options = { threads = 1, into = noise.volumemap(perlin, { 0, 1, 0, 1, 0, 1 }, 80, 80, 80) }
    local ours = time(3, 1, function()
      noise.volumemap(perlin, { 0, 80, 0, 80, 0, 80 }, 80, 80, 80, options):flat(buffer)
    end)
    local map = minetest.get_perlin_map(params, { x = 80, y = 80, z = 80 })
    local reference = time(3, 1, function() map:get_3d_map_flat({ x = 0, y = 0, z = 0 }, theirs) end)
    volume = string.format("%.2f", ours / reference)
  end
  say(string.format("luanti: chunk noisebind/PerlinNoiseMap %s; 1024 %s; volume %s", chunk, large,
                    volume))
end

local function finish()
  say(string.format("luanti: %d passed, %d failed, %d skipped", counts.passed, counts.failed,
                    counts.skipped))
  local file = io.open(minetest.get_worldpath() .. "/noisebind_result.txt", "w")
  file:write(table.concat(lines, "\n"), "\n")
  file:close()
  minetest.request_shutdown()
end

local function after_async(digests)
  check_digests("async environment", digests)
  check(digests.globals == "nil", "async environment: no global LibNoise", digests.globals)
  timings()
  finish()
end

minetest.register_async_dofile(modpath .. "/async.lua")

minetest.after(0, function()
  minetest.emerge_area(cases.chunk.minp, cases.chunk.minp, function(_, _, remaining)
    if remaining > 0 then return end
    check(generated, "on_generated filled the chunk at the origin")
    check(count_chunk_stone() == tonumber(expected.stone), "the chunk's stones", count_chunk_stone())
    local ok = minetest.handle_async(function() return noisebind_host_digests() end, after_async)
    check(ok, "handle_async took the job")
  end)
end)
