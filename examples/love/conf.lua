-- Before main.lua: lets require find noisebind.so in a zipped game too.
require "noisebind_loader"

function love.conf(t)
  t.identity = "noisebind-example"
  t.window.title = "noisebind: terrain"
  t.window.width = 512
  t.window.height = 512
end
