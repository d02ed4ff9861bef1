-- Luanti's async environment (minetest.handle_async): a state of its own
-- per worker thread, with mod security as in the main one. The insecure
-- environment is given only while this file loads (the job runs with no
-- mod of its own), so the module is required here.
local modpath = minetest.get_modpath("noisebind_host")
local insecure = minetest.request_insecure_environment()
insecure.package.cpath = modpath .. "/?.so;" .. insecure.package.cpath
local noise = insecure.require("noisebind.safe")
insecure = nil
local cases = dofile(modpath .. "/cases.lua")

function noisebind_host_digests()
  local digests = cases.digests(noise)
  digests.globals = tostring(rawget(_G, "LibNoise"))
  return digests
end
