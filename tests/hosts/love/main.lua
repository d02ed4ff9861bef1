-- The host test in LÖVE 11: the module from the game folder, maps in the
-- main thread and in love.threads checked against plain luajit's digests
-- (expected.lua), ImageData straight from m:bytes() and img:bytes(), and
-- LÖVE's own type checks given our userdata: each must raise an error, not
-- crash. Prints one line per check and a summary; quits with 1 on failure.
local noise = require "noisebind"
local cases = require "cases"
local expected = require "expected"

local counts = { passed = 0, failed = 0, skipped = 0 }

local function check(ok, what, detail)
  if ok then
    counts.passed = counts.passed + 1
  else
    counts.failed = counts.failed + 1
    print("FAIL " .. what .. (detail and (": " .. tostring(detail)) or ""))
  end
end

local function skip(what, missing)
  counts.skipped = counts.skipped + 1
  print("skipped: " .. what .. " (no " .. missing .. " in this build)")
end

local function check_digests(where, digests)
  for name, want in pairs(expected) do
    check(digests[name] == want, where .. ": " .. name, tostring(digests[name]) .. " ~= " .. want)
  end
end

local function main_thread()
  local digests, missing = cases.digests(noise)
  check_digests("main thread", digests)
  for _, lack in ipairs(missing) do skip("main thread volume", lack) end
end

local kThreads = 3

local function threads()
  local workers = {}
  for i = 1, kThreads do
    workers[i] = love.thread.newThread("worker.lua")
    workers[i]:start(i)
  end
  local channel = love.thread.getChannel("digests")
  for i = 1, kThreads do
    workers[i]:wait()
    check(workers[i]:getError() == nil, "thread " .. i .. " ran", workers[i]:getError())
  end
  local seen = 0
  while channel:getCount() > 0 do
    local index, text = channel:pop():match("^(%d+) (.*)$")
    local digests = {}
    for name, digest in text:gmatch("(%w+)=(%w+)") do digests[name] = digest end
    check_digests("thread " .. index, digests)
    seen = seen + 1
  end
  check(seen == kThreads, "every thread sent its digests", seen)
end

-- The float32 a double becomes, as LÖVE's r32f pixels hold it.
local function float32(value)
  return love.data.unpack("f", love.data.pack("string", "f", value))
end

local function image_data()
  local minp, size = cases.chunk.minp, cases.chunk.size
  local m = cases.heightmap(noise, minp, size)
  if not m.bytes then return skip("ImageData from m:bytes()", "m:bytes") end
  local data = love.image.newImageData(size, size, "r32f", m:bytes())
  local same = 0
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      if data:getPixel(x, y) == float32(m:get(x, y)) then same = same + 1 end
    end
  end
  check(same == size * size, "r32f ImageData holds the map's float32 values", same)

  local img = noise.render(m, noise.image.new(size, size),
                           { gradient = { { -1, 0, 0, 128 }, { 0, 40, 160, 40 }, { 1, 255, 255, 255 } } })
  if not img.bytes then return skip("ImageData from img:bytes()", "img:bytes") end
  local rgba = love.image.newImageData(size, size, "rgba8", img:bytes())
  same = 0
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      local r, g, b, a = rgba:getPixel(x, y)
      local R, G, B = img:get(x, y)
      if r * 255 == R and g * 255 == G and b * 255 == B and a == 1 then same = same + 1 end
    end
  end
  check(same == size * size, "rgba8 ImageData holds the image's pixels", same)
  -- And the usual way on: a texture drawn.
  local texture = love.graphics.newImage(rgba)
  love.graphics.draw(texture, 0, 0)
  check(texture:getWidth() == size, "a texture of it draws")
end

-- LÖVE 11 reads a full userdata as its own proxy; ours must be refused.
local function misuse()
  local m = noise.planemap(noise.Perlin(), { 0, 1, 0, 1 }, 4, 4)
  local object = noise.Perlin { seed = 5 }
  local before = object:calc(0.5, 0.25, 0.75)
  local values = {
    { "an image", noise.image.new(4, 4) },
    { "a map", m },
    { "a noise object", object },
  }
  local uses = {
    { "Channel:push", function(x) love.thread.getChannel("misuse"):push(x) end },
    { "love.graphics.newImage", function(x) return love.graphics.newImage(x) end },
    { "love.graphics.draw", function(x) love.graphics.draw(x) end },
    { "love.image.newImageData", function(x) return love.image.newImageData(x) end },
  }
  for _, value in ipairs(values) do
    for _, use in ipairs(uses) do
      local what = use[1] .. " of " .. value[1]
      print("trying " .. what)
      io.stdout:flush()
      local ok, message = pcall(use[2], value[2])
      check(not ok and tostring(message):find("expected, got userdata", 1, true),
            what .. " raises LÖVE's type error", message)
      if not ok then print("  " .. message) end
    end
  end
  love.thread.getChannel("misuse"):clear()
  check(tostring(object):find("Perlin", 1, true) and object:calc(0.5, 0.25, 0.75) == before,
        "a noise object refused by a channel is unchanged", tostring(object))
end

-- A save to /proc/self/fd/N of the display's socket: refused, where it
-- once wrote into the X server's connection and ended the game.
local function socket_save()
  local listing = io.popen('for f in /proc/$PPID/fd/*; do echo "${f##*/} $(readlink "$f")"; done')
  local socket
  for line in listing:lines() do
    local n, target = line:match("^(%d+) (.*)$")
    if n and target:find("^socket:") then socket = n break end
  end
  listing:close()
  if not socket then return skip("a save into a socket", "socket among the game's descriptors") end
  local ok, message = pcall(function() noise.image.new(2, 2):save("/proc/self/fd/" .. socket) end)
  check(not ok and tostring(message):find("a socket, not written", 1, true),
        "a save into the display's socket is refused", message)
  love.graphics.clear()
end

local kGroups = {
  { "maps in the main thread", main_thread },
  { "maps in love.threads", threads },
  { "ImageData from bytes", image_data },
  { "misuse", misuse },
  { "saves into sockets", socket_save },
}

function love.load()
  for _, group in ipairs(kGroups) do
    local ok, message = pcall(group[2])
    check(ok, group[1], message)
  end
  print(string.format("love: %d passed, %d failed, %d skipped", counts.passed, counts.failed,
                      counts.skipped))
  love.event.quit(counts.failed == 0 and 0 or 1)
end
