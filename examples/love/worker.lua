-- A love.thread: a state of its own, with its own require. Our userdata
-- stay in the thread that made them: the graph arrives as text, and only
-- the map's bytes go back over the channel.
local noise = require "noisebind"
local size, text = ...
local outputs = noise.decode(text)
local m = noise.planemap(outputs.main, { 1, 3, 1, 3 }, size, size)
love.thread.getChannel("maps"):push(m:bytes())
