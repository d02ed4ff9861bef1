-- An untrusted mod given the noise table by the trusted one: it may make maps
-- and bytes, but reach neither file writing nor the global LibNoise.
local check = noisebind_host.check
local noise = noisebind_host.noise

check(rawget(_G, "LibNoise") == nil, "untrusted mod: no global LibNoise")
check(minetest.request_insecure_environment() == nil, "untrusted mod: no insecure environment")
check(not pcall(require, "noisebind"), "untrusted mod: require refused")
local m = noise.planemap(noise.Perlin(), { 0, 1, 0, 1 }, 8, 8)
check(m:get(3, 3) == noise.Perlin():calc(3 / 8, 0, 3 / 8), "untrusted mod: maps work")
check(m.savepng == nil and m.saveraw == nil, "untrusted mod: maps have no file functions")
check(noise.image.new(2, 2).save == nil, "untrusted mod: images have no save")
local opened, file = pcall(io.open, "/tmp/noisebind-untrusted-escape", "w")
if opened and file then file:close() end
check(not (opened and file), "untrusted mod: its own io.open outside the world is blocked")
if m.bytes then
  check(#m:bytes() == 8 * 8 * 4, "untrusted mod: m:bytes stays")
else
  noisebind_host.skip("untrusted mod: m:bytes", "m:bytes")
end
