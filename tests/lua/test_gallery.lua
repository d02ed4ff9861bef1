-- docs/gallery/ holds a picture and a graph file of every class of the
-- schema and nothing else, and the page and the graph files are what
-- examples/gallery.lua writes.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")
local noise = require "noisebind"

local function listing(folder)
  local names = {}
  local pipe = assert(io.popen("ls " .. T.quote(folder)))
  for name in pipe:lines() do names[#names + 1] = name end
  pipe:close()
  table.sort(names)
  return names
end

T.run({
  { "every class has its picture and graph file, small, and nothing else is there", function()
    local expected = { "sources.json", "sources.png" }
    for _, class in ipairs(noise.classes().classes) do
      expected[#expected + 1] = class.class .. ".json"
      expected[#expected + 1] = class.class .. ".png"
    end
    table.sort(expected)
    T.eq(table.concat(listing("docs/gallery"), " "), table.concat(expected, " "),
         "docs/gallery/ against the schema: run `make gallery`")
    for _, name in ipairs(expected) do
      T.check(#T.read("docs/gallery/" .. name) < 64 * 1024, name .. " is 64 KiB or more")
    end
  end },
  { "the page and the graph files are what the script writes", function()
    local folder = T.scratch()
    assert(os.execute("mkdir " .. T.quote(folder .. "/gallery")) == 0)
    assert(loadfile("examples/gallery.lua"))(folder, "4")
    T.check(T.read(folder .. "/gallery.md") == T.read("docs/gallery.md"),
            "docs/gallery.md differs from what the script writes: run `make gallery`")
    for _, name in ipairs(listing(folder .. "/gallery")) do
      if name:match("%.json$") then
        T.check(T.read(folder .. "/gallery/" .. name) == T.read("docs/gallery/" .. name),
                name .. " differs from what the script writes: run `make gallery`")
      end
    end
    T.remove_tree(folder)
  end },
})
