-- The main.lua of a game around one LÖVE block of the docs (block.lua): the
-- block runs as a game's main.lua would, then its love.load, love.update
-- and love.draw once each, and the game quits with 0 if all of it ran.
local function run()
  assert(love.filesystem.load("block.lua"))()
  if love.load then love.load({}) end
  if love.update then love.update(1 / 60) end
  love.graphics.clear()
  if love.draw then love.draw() end
  love.graphics.present()
end

function love.run()
  local ok, err = pcall(run)
  print(ok and "docs-love: ok" or ("docs-love: FAIL " .. tostring(err)))
  return function() return ok and 0 or 1 end
end
