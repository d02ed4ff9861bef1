-- The image table vessa gives scripts: what it refuses, and how.

local function expect_error(expected, f, ...)
  local ok, message = pcall(f, ...)
  assert(not ok, "no error, expected: " .. expected)
  assert(message:find(expected, 1, true), "expected '" .. expected .. "' in: " .. message)
end

-- Sizes
for _, case in ipairs {
  { 0, 10, "#1 to 'new' (width must be an integer from 1 to 1000000, got 0)" },
  { -3, 10, "#1 to 'new' (width must be an integer from 1 to 1000000, got -3)" },
  { 10, 2.5, "#2 to 'new' (height must be an integer from 1 to 1000000, got 2.5)" },
  { 0 / 0, 10, "#1 to 'new' (width must be an integer" },
  { 10, 1 / 0, "#2 to 'new' (height must be an integer from 1 to 1000000, got inf)" },
  { 2 ^ 40, 1, "#1 to 'new' (width must be an integer" },
  { 100000, 100000, "#2 to 'new' (100000 x 100000 pixels is too large an image" },
  { "wide", 1, "#1 to 'new' (number expected, got string)" },
  { 10, nil, "#2 to 'new' (number expected, got nil)" },
} do
  expect_error("bad argument " .. case[3], function() image.new(case[1], case[2]) end)
end

-- Coordinates and components, through the method call scripts write
local img = image.new(4, 3)
expect_error("bad argument #1 to 'set' (x must be an integer from 0 to 3, got 4)",
  function() img:set(4, 0, 1) end)
expect_error("bad argument #1 to 'set' (x must be an integer from 0 to 3, got -1)",
  function() img:set(-1, 0, 1) end)
expect_error("bad argument #2 to 'set' (y must be an integer from 0 to 2, got 1.5)",
  function() img:set(0, 1.5, 1) end)
expect_error("bad argument #2 to 'get' (y must be an integer from 0 to 2, got nan)",
  function() img:get(0, 0 / 0) end)
expect_error("bad argument #3 to 'set' (grey value is NaN)", function() img:set(0, 0, 0 / 0) end)
expect_error("bad argument #4 to 'set' (green is NaN)", function() img:set(0, 0, 1, 0 / 0, 1) end)
expect_error("bad argument #5 to 'set' (number expected, got no value)",
  function() img:set(0, 0, 1, 2) end)
expect_error("bad argument #3 to 'set' (number expected, got nil)",
  function() img:set(0, 0, nil) end)
-- A refused call changes nothing, not even the components before the bad one.
img:set(1, 1, 10, 20, 30)
pcall(function() img:set(1, 1, 99, 99, 0 / 0) end)
local r, g, b = img:get(1, 1)
assert(r == 10 and g == 20 and b == 30, "a refused set() changed the pixel")

-- Methods called on something else
expect_error("bad argument #1 to 'set' (image expected, got number)",
  function() img.set(0, 0, 0) end)
expect_error("bad argument #1 to 'width' (image expected, got table)",
  function() img.width({}) end)
local impostor = { height = img.height }
expect_error("calling 'height' on bad self (image expected, got table)",
  function() impostor:height() end)
expect_error("image expected, got userdata", function() img.get(io.stdout, 0, 0) end)
assert(getmetatable(img) == "image", "scripts can reach the image metatable")

-- Saving: the system's reason. That nothing is left behind is checked
-- in tests/image.
local missing = os.tmpname()
os.remove(missing)
expect_error("bad argument #1 to 'save' (cannot write '" .. missing
  .. "/x.png': No such file or directory)", function() img:save(missing .. "/x.png") end)
expect_error("bad argument #1 to 'save' (string expected, got no value)",
  function() img:save() end)

-- Saving, collection, freed images and impostors, through vessa.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

local function sh(command)
  T.eq(os.execute(command), 0, command)
end

local function is_png(path)
  return T.read(path):sub(1, 8) == "\137PNG\r\n\26\n"
end

local function names(folder)
  local list = {}
  for name in io.popen("ls -A " .. T.quote(folder)):lines() do list[#list + 1] = name end
  return table.concat(list, " ")
end

T.run({
  { "save writes through symlinks to their final target", function()
    local folder = T.scratch()
    T.write(folder .. "/target.png", "old")
    sh("cd " .. folder .. " && mkdir sub && ln -s ../target.png sub/first && ln -s sub/first second"
       .. " && ln -s new.png dangling")
    image.new(2, 2):save(folder .. "/second")
    T.check(is_png(folder .. "/target.png"), "the target is written")
    T.eq(io.popen("readlink " .. folder .. "/second"):read("*l"), "sub/first", "the link stays")
    image.new(1, 1):save(folder .. "/dangling")
    T.check(is_png(folder .. "/new.png"), "a dangling link's target is made")
    T.eq(names(folder), "dangling new.png second sub target.png")
    T.remove_tree(folder)
  end },

  { "save refuses what is not a regular file, and leaves it as it was", function()
    local folder = T.scratch()
    sh("mkfifo " .. folder .. "/fifo && mkdir " .. folder .. "/sub")
    local img = image.new(2, 2)
    local prefix = "bad argument #1 to 'save' (cannot write '" .. folder
    expect_error(prefix .. "/fifo': not a regular file but a FIFO)", function() img:save(folder .. "/fifo") end)
    expect_error(prefix .. "/sub': Is a directory)", function() img:save(folder .. "/sub") end)
    expect_error(prefix .. "/sub/': Is a directory)", function() img:save(folder .. "/sub/") end)
    sh("test -p " .. folder .. "/fifo")
    -- A device node of our own, where we may make one: the null device.
    if os.execute("mknod " .. folder .. "/null c 1 3 2>/dev/null") == 0 then
      expect_error(prefix .. "/null': not a regular file but a character device)",
                   function() img:save(folder .. "/null") end)
      sh("test -c " .. folder .. "/null")
    end
    T.eq((names(folder):gsub(" null", "")), "fifo sub", "nothing left behind")
    T.remove_tree(folder)
  end },

  { "save keeps the permission bits of the file it replaces", function()
    local folder = T.scratch()
    T.write(folder .. "/private.png", "old")
    sh("chmod 600 " .. folder .. "/private.png")
    image.new(2, 2):save(folder .. "/private.png")
    T.eq(io.popen("stat -c %a " .. folder .. "/private.png"):read("*l"), "600")
    T.check(is_png(folder .. "/private.png"))
    T.remove_tree(folder)
  end },

  { "save takes the longest file names, and refuses a NUL in a path", function()
    local folder = T.scratch()
    local long = string.rep("n", 250) .. ".png"
    image.new(2, 2):save(folder .. "/" .. long)
    T.check(is_png(folder .. "/" .. long), "a 254-byte name")
    local img = image.new(2, 2)
    expect_error("bad argument #1 to 'save' (path contains a NUL byte)",
                 function() img:save(folder .. "/cut\0.png") end)
    T.eq(names(folder), long, "nothing written under the shortened name")
    T.remove_tree(folder)
  end },

  { "the collector counts the pixels, so temporary images go as they come", function()
    collectgarbage()
    local base, most = collectgarbage("count"), 0
    for i = 1, 100 do
      image.new(2048, 2048):set(0, 0, i)
      most = math.max(most, collectgarbage("count") - base)
    end
    local megabytes = most / 1024
    T.check(megabytes >= 10 and megabytes <= 4 * 12, megabytes .. " MB in use at most")
  end },

  { "an image reached again from a finalizer is whole", function()
    do
      local img = image.new(3, 2)
      img:set(2, 1, 7, 8, 9)
      local proxy = newproxy(true)
      getmetatable(proxy).__gc = function() resurrected = img end
    end
    collectgarbage()
    collectgarbage()
    local img = resurrected
    resurrected = nil
    T.check(img, "the finalizer ran")
    T.eq(tostring(img), "image (3 x 2)")
    T.eq(select("#", img:get(2, 1)), 3)
    local r, g, b = img:get(2, 1)
    T.eq(r + g + b, 24, "its pixels")
    img:set(0, 0, 1)
    T.eq(img:width() * img:height(), 6)
  end },

  { "a foreign userdata with the image metatable is no image", function()
    local real = debug.getmetatable(image.new(1, 1))
    for _, impostor in ipairs({ newproxy(false), io.tmpfile() }) do
      local own = debug.getmetatable(impostor)
      debug.setmetatable(impostor, real)
      for _, call in ipairs({
        function() impostor:set(0, 0, 1) end, function() impostor:get(0, 0) end,
        function() impostor:width() end, function() impostor:height() end,
        function() impostor:save("x.png") end,
      }) do
        expect_error("on bad self (image expected, got userdata)", call)
      end
      expect_error("image expected, got userdata", tostring, impostor)
      debug.setmetatable(impostor, own)
    end
  end },
})
