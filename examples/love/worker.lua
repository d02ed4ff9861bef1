-- A love.thread: a state of its own, with its own require (and so its own
-- noisebind_loader first). Our userdata stay in the thread that made them;
-- only their bytes cross the channel.
require "noisebind_loader"
local noise = require "noisebind"
local size, seed = ...
local terrain = noise.Perlin { octaves = 6, frequency = 2, seed = seed }
local m = noise.planemap(terrain, { 0, 1, 0, 1 }, size, size)
love.thread.getChannel("maps"):push(m:bytes())
