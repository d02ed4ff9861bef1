-- A love.thread: makes the maps of cases.lua in a state of its own and
-- sends their digests back as one string (our userdata stay in this thread).
local index = ...
require "noisebind_loader"
local noise = require "noisebind"
local cases = require "cases"
local digests = cases.digests(noise)
local lines = {}
for name, digest in pairs(digests) do lines[#lines + 1] = name .. "=" .. digest end
love.thread.getChannel("digests"):push(index .. " " .. table.concat(lines, " "))
