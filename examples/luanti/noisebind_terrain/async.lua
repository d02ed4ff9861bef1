-- The async environment (minetest.handle_async, Luanti 5.6 and later): each
-- worker thread has a state of its own, with mod security as in the main
-- one, and a trusted mod gets the insecure environment only while this file
-- loads. Register it from init.lua with
--   minetest.register_async_dofile(modpath .. "/async.lua")
-- and run jobs that call noisebind_terrain_heights(text, minp, size) with
-- the graph's text from init.lua.
local modpath = minetest.get_modpath("noisebind_terrain")
local insecure = minetest.request_insecure_environment()
insecure.package.cpath = modpath .. "/?.so;" .. insecure.package.cpath
local noise = insecure.require("noisebind.safe")
insecure = nil

-- The graph is built once per worker from the text the main environment
-- passes, and again only when that text changes.
local graph_text, land

function noisebind_terrain_heights(text, minp, size)
  if text ~= graph_text then
    land = noise.decode(text).land
    graph_text = text
  end
  return noise.planemap(land, { minp.x, minp.x + size, minp.z, minp.z + size }, size, size):flat()
end
