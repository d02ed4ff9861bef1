-- Lets `require "noisebind"` find the library in a game zipped as a .love
-- (or fused to LÖVE). The system can only load a library from a real file,
-- and a zipped game's files are not, so the first require copies
-- noisebind.so from the game's files into the save folder, under a name of
-- its content (a new version of the game brings a new copy, and a copy in
-- use is never written over), and loads it from there. A game run from a
-- folder loads noisebind.so as LÖVE does anyway.
--
-- Require this file before the first `require "noisebind"`: in conf.lua for
-- the main thread, and at the top of each love.thread's code.
local library = "noisebind.so"

-- The path of the copy in the save folder, made if missing; or nil and why.
local function copy()
  local bytes, why = love.filesystem.read(library)
  if not bytes then return nil, why end
  local digest = love.data.encode("string", "hex", love.data.hash("sha1", bytes))
  local name = "noisebind-" .. digest:sub(1, 16) .. ".so"
  local folder = love.filesystem.getSaveDirectory()
  local info = love.filesystem.getInfo(name)
  -- Written whole under a name of this thread's, then renamed into place:
  -- threads or instances that copy at once never write into a copy that
  -- another has loaded, and a copy cut short is made again.
  if not info or info.size ~= #bytes then
    local mine = {}
    local part = name .. "." .. tostring(mine):match("%x+$") .. ".part"
    local ok, message = love.filesystem.write(part, bytes)
    if not ok then return nil, message end
    ok, message = os.rename(folder .. "/" .. part, folder .. "/" .. name)
    if not ok then
      love.filesystem.remove(part)
      return nil, message
    end
  end
  return folder .. "/" .. name
end

-- True when the game's noisebind.so is a file of its own, which LÖVE's
-- loader and the system load.
local function on_disk()
  local folder = love.filesystem.getRealDirectory(library)
  local file = folder and io.open(folder .. "/" .. library, "rb")
  if file then file:close() end
  return file ~= nil
end

local function searcher(name)
  if name ~= "noisebind" and name ~= "noisebind.safe" then return nil end
  if not love.filesystem.getInfo(library) then
    return "\n\tno " .. library .. " in the game's files"
  end
  if on_disk() then return nil end
  local path, why = copy()
  if not path then
    return "\n\tcannot copy " .. library .. " to the save folder: " .. tostring(why)
  end
  local open, message = package.loadlib(path, "luaopen_" .. name:gsub("%.", "_"))
  if not open then return "\n\tcannot load " .. path .. ": " .. message end
  return open
end

-- After package.preload: a game's own library before any installed one.
local searchers = package.loaders or package.searchers
table.insert(searchers, 2, searcher)
