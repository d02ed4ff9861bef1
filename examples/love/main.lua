-- A starting point for LÖVE 11: copy this folder, put noisebind.so (the
-- LuaJIT / Lua 5.1 build: build/lua/5.1/noisebind.so, or the one in
-- /usr/lib/<triplet>/lua/5.1/) beside main.lua, and run `love .`.
-- A terrain graph (terrain.lua) made in the main thread is drawn from its
-- image's bytes; the graph goes to a love.thread as text, and the map the
-- thread makes of its middle comes back as bytes, shown as a height texture
-- (r32f) on the right. Space makes a new terrain.
local noise = require "noisebind"
local make_graph = require "terrain"

local size = 256
local gradient = {
  { -1, 0, 0, 128 }, { -0.05, 30, 90, 200 }, { 0, 230, 220, 150 }, { 0.1, 40, 150, 40 },
  { 0.5, 120, 100, 80 }, { 1, 255, 255, 255 },
}
local terrain, heights, seed

local function make_terrain()
  seed = (seed or 0) + 1
  local graph = make_graph(noise, seed)
  local m = noise.planemap(graph, { 0, 4, 0, 4 }, size, size)
  local img = noise.render(m, noise.image.new(size, size), { gradient = gradient, light = true })
  terrain = love.graphics.newImage(love.image.newImageData(size, size, "rgba8", img:bytes()))
  -- Noise objects stay in the state that made them: the thread gets the
  -- graph as text and builds its own copy, which evaluates to the same bits.
  local worker = love.thread.newThread("worker.lua")
  worker:start(size, noise.encode(graph))
end

function love.load()
  make_terrain()
end

function love.update()
  local bytes = love.thread.getChannel("maps"):pop()
  if bytes then
    -- Values from -1 to 1 or so: the shader maps them to grey.
    heights = love.graphics.newImage(love.image.newImageData(size, size, "r32f", bytes))
  end
end

local grey = love.graphics.newShader [[
  vec4 effect(vec4 colour, Image tex, vec2 uv, vec2 px) {
    float h = Texel(tex, uv).r * 0.5 + 0.5;
    return vec4(h, h, h, 1.0) * colour;
  }
]]

function love.draw()
  love.graphics.draw(terrain, 0, 0)
  if heights then
    love.graphics.setShader(grey)
    love.graphics.draw(heights, size, 0)
    love.graphics.setShader()
  end
  love.graphics.print("seed " .. seed .. " (space: another)", 8, size + 8)
end

function love.keypressed(key)
  if key == "space" then make_terrain() end
  if key == "escape" then love.event.quit() end
end
