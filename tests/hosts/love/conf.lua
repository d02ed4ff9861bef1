-- Before main.lua: lets require find noisebind.so when the game is zipped.
require "noisebind_loader"

-- A small window under xvfb; no sound (the test machines have none).
function love.conf(t)
  t.identity = "noisebind-host-test"
  t.window.title = "noisebind host test"
  t.window.width = 128
  t.window.height = 128
  t.modules.audio = false
  t.modules.sound = false
  t.modules.joystick = false
end
