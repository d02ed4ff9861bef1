-- A starting point for Luanti (5.6 and later): terrain from a noisebind
-- map and caves from a volume, in on_generated. Copy this folder into your
-- game's or world's mods, put noisebind.so (the LuaJIT / Lua 5.1 build)
-- beside this file (or install the Debian package), and trust the mod:
--   secure.trusted_mods = noisebind_terrain
-- Use it with mg_name = singlenode. Other mods get the table through the
-- global noisebind_terrain.noise: noisebind.safe has no function that opens
-- a file and publishes no global, so handing it on gives nothing away.
local modname = minetest.get_current_modname()
local modpath = minetest.get_modpath(modname)

local insecure = minetest.request_insecure_environment()
if not insecure then error(modname .. ": add it to secure.trusted_mods to load noisebind", 0) end
insecure.package.cpath = modpath .. "/?.so;" .. insecure.package.cpath
local noise = insecure.require("noisebind.safe")
insecure = nil -- nothing else of it is needed: keep it from the rest of the mod

noisebind_terrain = { noise = noise }

-- The world's seed, a 64-bit integer as a string; noise objects reduce it
-- into their 32-bit seeds.
local seed = tonumber(minetest.get_mapgen_setting("seed")) or 0
local graph = dofile(modpath .. "/terrain.lua")(noise, seed)
local land, caves = graph.land, graph.caves
-- The async workers build the same graph from its text (noise objects stay
-- in the Lua state that made them).
local graph_text = noise.encode(graph)

-- The game's mapgen aliases are known once every mod has loaded.
local c_stone, c_water
minetest.register_on_mods_loaded(function()
  c_stone = minetest.get_content_id("mapgen_stone")
  c_water = minetest.get_content_id("mapgen_water_source")
end)

local heights, density = {}, {}

minetest.register_on_generated(function(minp, maxp)
  local size = maxp.x - minp.x + 1
  -- Columns x fastest, then z; nodes x fastest, then y, then z: the order
  -- of VoxelArea, as PerlinNoiseMap's get_2d_map_flat / get_3d_map_flat.
  noise.planemap(land, { minp.x, maxp.x + 1, minp.z, maxp.z + 1 }, size, size):flat(heights)
  local volume = noise.volumemap(caves, { minp.x, maxp.x + 1, minp.y, maxp.y + 1, minp.z, maxp.z + 1 },
                                 size, size, size)
  volume:flat(density)

  local vm, emin, emax = minetest.get_mapgen_object("voxelmanip")
  local area = VoxelArea:new { MinEdge = emin, MaxEdge = emax }
  local data = vm:get_data()
  for z = minp.z, maxp.z do
    for y = minp.y, maxp.y do
      local vi = area:index(minp.x, y, z)
      local row = ((z - minp.z) * size + (y - minp.y)) * size
      for x = minp.x, maxp.x do
        local i = x - minp.x
        local ground = heights[(z - minp.z) * size + i + 1] * 40
        if y < ground and density[row + i + 1] < 0.85 then
          data[vi] = c_stone
        elseif y <= 0 and y >= ground then
          data[vi] = c_water
        end
        vi = vi + 1
      end
    end
  end
  vm:set_data(data)
  vm:calc_lighting()
  vm:write_to_map()
end)

-- The same heights off the main thread: /heights prints the land's height
-- at the 4 x 4 columns from where you stand, computed by an async worker.
minetest.register_async_dofile(modpath .. "/async.lua")

minetest.register_chatcommand("heights", {
  description = "the land's heights around you, from an async worker",
  func = function(name)
    local player = minetest.get_player_by_name(name)
    if not player then return false, "no player" end
    local pos = vector.round(player:get_pos())
    minetest.handle_async(function(text, minp, size) return noisebind_terrain_heights(text, minp, size) end,
                          function(heights)
                            for i = 1, #heights do heights[i] = string.format("%.1f", heights[i] * 40) end
                            minetest.chat_send_player(name, table.concat(heights, " "))
                          end, graph_text, pos, 4)
    return true, "asked"
  end,
})
