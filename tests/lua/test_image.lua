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
