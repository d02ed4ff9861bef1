-- The README and docs/*.md: every ```lua block runs, printing what its
-- `print(...) --> value` comments say, every relative link and image
-- resolves, anchors included, and the README links to every page. The
-- rule for blocks is in docs/tests.md.
--   vessa check_docs.lua LUAJIT MODULE_FOLDER   (from the project's folder)
--   luajit check_docs.lua --love FOLDER         (writes the LÖVE blocks there
--                                                 as 1.lua, 2.lua, ..., for
--                                                 make test-hosts)
local luajit, module_folder = ...
assert(luajit and module_folder, "usage: check_docs.lua LUAJIT MODULE_FOLDER | --love FOLDER")
local love_folder = luajit == "--love" and module_folder
local vessa = love_folder or assert(os.getenv("VESSA"), "VESSA is not set")

local function quote(word)
  return "'" .. word:gsub("'", "'\\''") .. "'"
end

local function read(path)
  local file = io.open(path, "rb")
  if not file then return nil end
  local contents = file:read("*a")
  file:close()
  return contents
end

local function shell(command)
  local status = os.execute(command)
  return status == 0 or status == true
end

local function lines_of(command)
  local pipe = assert(io.popen(command))
  local lines = {}
  for line in pipe:lines() do lines[#lines + 1] = line end
  pipe:close()
  return lines
end

-- The blocks run in folders of their own: the programs by absolute paths.
local here = lines_of("pwd")[1]
local function absolute(path)
  return path:sub(1, 1) == "/" and path or here .. "/" .. path
end
if not love_folder then vessa, module_folder = absolute(vessa), absolute(module_folder) end

local files = { "README.md" }
for _, path in ipairs(lines_of("ls docs/*.md")) do files[#files + 1] = path end

local failures, ran, skipped, links = {}, 0, 0, 0
local function fail(where, message)
  failures[#failures + 1] = where .. ": " .. message
end

-- A page's text split into blocks ({info, first line, code}) and the lines
-- outside them (with their numbers).
local function parse(text)
  local blocks, prose, block, number = {}, {}, nil, 0
  for line in (text .. "\n"):gmatch("(.-)\n") do
    number = number + 1
    local fence, info = line:match("^(```+)%s*(.-)%s*$")
    if block and fence and info == "" then
      blocks[#blocks + 1] = block
      block = nil
    elseif block then
      block.code[#block.code + 1] = line
    elseif fence then
      block = { info = info, line = number, code = {} }
    else
      prose[#prose + 1] = { number = number, text = line }
    end
  end
  return blocks, prose
end

-- GitHub's anchors: lowercase, punctuation dropped, spaces as hyphens, a
-- repeated heading numbered from -1.
local function anchors(prose)
  local set, seen = {}, {}
  for _, line in ipairs(prose) do
    local heading = line.text:match("^#+%s+(.-)%s*$")
    if heading then
      local slug = heading:lower():gsub("[^%w%s%-_\128-\255]", ""):gsub("%s", "-")
      local count = seen[slug]
      seen[slug] = (count or -1) + 1
      set[count and (slug .. "-" .. (count + 1)) or slug] = true
    end
  end
  return set
end

local pages = {}
for _, path in ipairs(files) do
  local text = assert(read(path), "cannot read " .. path)
  local blocks, prose = parse(text)
  pages[path] = { blocks = blocks, prose = prose, anchors = anchors(prose) }
end

local function folder_of(path)
  return path:match("^(.*)/") or "."
end

local function normalise(path)
  local parts = {}
  for part in path:gmatch("[^/]+") do
    if part == ".." and #parts > 0 and parts[#parts] ~= ".." then
      parts[#parts] = nil
    elseif part ~= "." then
      parts[#parts + 1] = part
    end
  end
  return table.concat(parts, "/")
end

local contents = {} -- the pages the README links to
local function check_link(path, number, target)
  if target:match("^%a[%w+.-]*:") then return end -- a URL
  links = links + 1
  local where = path .. ":" .. number
  local file, anchor = target:match("^([^#]*)#?(.*)$")
  local resolved = file == "" and path or normalise(folder_of(path) .. "/" .. file)
  if path == "README.md" then contents[resolved] = true end
  if file ~= "" and not shell("test -e " .. quote(resolved)) then
    return fail(where, "link to " .. target .. ": no " .. resolved)
  end
  if anchor ~= "" then
    local page = pages[resolved]
    if not page then
      return fail(where, "link to " .. target .. ": anchors are checked in the pages only")
    end
    if not page.anchors[anchor] then
      fail(where, "link to " .. target .. ": " .. resolved .. " has no heading #" .. anchor)
    end
  end
end

-- Links and images outside code: code spans are left out of the line first.
for _, path in ipairs(files) do
  for _, line in ipairs(pages[path].prose) do
    local text = line.text:gsub("`[^`]*`", "")
    for target in text:gmatch("%]%(([^)%s]+)[^)]*%)") do
      check_link(path, line.number, target)
    end
  end
end

-- The README's table of contents names every page.
for _, path in ipairs(files) do
  if path ~= "README.md" and not contents[path] then
    fail(path, "the README does not link to this page")
  end
end

-- The README's first script is examples/terrain.lua (after its comments),
-- which draws its picture.
do
  local example = assert(read("examples/terrain.lua"), "cannot read examples/terrain.lua")
  repeat
    local before = example
    example = example:gsub("^%-%-[^\n]*\n", "")
  until example == before
  local first
  for _, block in ipairs(pages["README.md"].blocks) do
    first = first or (block.info == "lua" and block)
  end
  if table.concat(first.code, "\n") .. "\n" ~= example then
    fail("README.md:" .. first.line, "the first script differs from examples/terrain.lua")
  end
end

-- What the block's `print(...) --> value` comments expect: the value by the
-- number of the line printed (each print at the start of a line prints one).
local function expected_output(code)
  local expected, prints = {}, 0
  for _, line in ipairs(code) do
    if line:match("^%s*print%(") then
      prints = prints + 1
      expected[prints] = line:match("%)%s*%-%->%s*(.-)%s*$")
    end
  end
  return expected, prints
end

local function words(text)
  return (text:gsub("%s+", " "):gsub("^ ", ""):gsub(" $", ""))
end

-- How each kind of block runs, in a temporary folder of its own.
local runners = {
  [""] = function(file)
    return quote(vessa) .. " -q " .. quote(file)
  end,
  module = function(file)
    return "LUA_CPATH=" .. quote(module_folder .. "/?.so") .. " " .. quote(luajit) .. " "
      .. quote(file)
  end,
}

local function run_block(where, block)
  local folder = lines_of("mktemp -d")[1]
  local snippet = folder .. "/snippet.lua"
  local file = assert(io.open(snippet, "wb"))
  file:write(table.concat(block.code, "\n"), "\n")
  file:close()
  local run = runners[block.info:match("^lua%s*(.*)$")]
  local ok = shell("cd " .. quote(folder) .. " && " .. run(snippet) .. " > out.txt 2> err.txt")
  local out, err = read(folder .. "/out.txt") or "", read(folder .. "/err.txt") or ""
  shell("rm -rf " .. quote(folder))
  ran = ran + 1
  if not ok then return fail(where, "the block failed:\n" .. err) end
  local printed = {}
  for line in out:gmatch("[^\n]+") do printed[#printed + 1] = words(line) end
  local expected, prints = expected_output(block.code)
  for i = 1, prints do
    if expected[i] and printed[i] ~= words(expected[i]) then
      return fail(where, string.format("printed line %d is %q, the block says %q", i,
        tostring(printed[i]), expected[i]))
    end
  end
end

if love_folder then
  local count = 0
  for _, path in ipairs(files) do
    for _, block in ipairs(pages[path].blocks) do
      if block.info == "lua love" then
        count = count + 1
        local file = assert(io.open(love_folder .. "/" .. count .. ".lua", "wb"))
        file:write("-- ", path, ":", block.line, "\n", table.concat(block.code, "\n"), "\n")
        file:close()
      end
    end
  end
  print(count)
  return
end

for _, path in ipairs(files) do
  for _, block in ipairs(pages[path].blocks) do
    local where = path .. ":" .. block.line
    local kind = block.info:match("^lua%s*(.*)$")
    if kind == "" or kind == "module" then
      run_block(where, block)
    elseif kind == "love" then
      skipped = skipped + 1 -- run by make test-hosts
    elseif kind then
      local reason = kind:match("^no%-run:%s*(%S.*)$")
      if reason then
        skipped = skipped + 1
      else
        fail(where, "```" .. block.info .. ": a lua block is plain, `module`, `love` or "
          .. "`no-run: why`")
      end
    end
  end
end

for _, failure in ipairs(failures) do io.stderr:write(failure, "\n") end
print(string.format("docs: %d files, %d blocks run, %d not run here, %d links; %d failed",
  #files, ran, skipped, links, #failures))
if #failures > 0 then os.exit(1) end
