-- An untrusted mod given the noise table by the trusted one: it may make maps
-- and bytes, but reach neither file writing nor the global LibNoise, and
-- methods called on objects of other classes are refused, the server kept.
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
for _, case in ipairs {
  { noise.Curve().addpoint, noise.Perlin(), "(Curve expected, got Perlin)" },
  { noise.Terrace().addpoint, noise.Curve(), "(Terrace expected, got Curve)" },
  { noise.Terrace().makepoints, noise.Perlin(), "(Terrace expected, got Perlin)" },
  { noise.Curve().clear, noise.Terrace(), "(Curve expected, got Terrace)" },
  { noise.Terrace().clear, m, "(Terrace expected, got userdata)" },
} do
  local ok, message = pcall(case[1], case[2], 1, 2)
  check(not ok and tostring(message):find(case[3], 1, true),
        "untrusted mod: a method called on another class is refused", tostring(message))
end
