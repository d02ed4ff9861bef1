-- Small helpers for the script tests: checks that raise on failure, float
-- rounding, and running vessa as a separate process.
local ffi = require("ffi")

local T = {}

local function show(value)
  if type(value) == "number" then return string.format("%.17g", value) end
  if type(value) == "string" then return string.format("%q", value) end
  return tostring(value)
end
T.show = show

local function same(a, b)
  return a == b or (a ~= a and b ~= b)
end

-- The value a script receives for x: results are single-precision numbers.
function T.f32(x)
  return tonumber(ffi.new("float", x))
end

function T.check(condition, message)
  if not condition then error(message or "check failed", 2) end
end

function T.eq(actual, expected, label)
  if not same(actual, expected) then
    error(string.format("%s: expected %s, got %s", label or "value", show(expected), show(actual)), 2)
  end
end

function T.near(actual, expected, tolerance, label)
  if not (math.abs(actual - expected) <= tolerance) then
    error(string.format("%s: expected %s within %g, got %s", label or "value", show(expected),
                        tolerance, show(actual)), 2)
  end
end

-- Calls f and gives the number of results and the results themselves.
function T.results(f, ...)
  local function pack(...) return select("#", ...), { ... } end
  return pack(f(...))
end

-- f(...) must raise exactly `message`.
function T.checkerror(message, f, ...)
  local ok, err = pcall(f, ...)
  if ok then error("expected the error " .. show(message) .. ", but the call succeeded", 2) end
  if err ~= message then
    error(string.format("expected the error %s, got %s", show(message), show(err)), 2)
  end
end

-- Runs named cases: a table of { name, function }. Reports every failure.
function T.run(cases)
  local failures = 0
  for _, case in ipairs(cases) do
    local ok, err = xpcall(case[2], debug.traceback)
    if not ok then
      failures = failures + 1
      io.stderr:write("FAIL ", case[1], ": ", tostring(err), "\n")
    end
  end
  if failures > 0 then error(failures .. " of " .. #cases .. " cases failed", 0) end
  print(#cases .. " cases passed")
end

local function slurp(path)
  local file = io.open(path, "rb")
  if not file then return "" end
  local text = file:read("*a")
  file:close()
  return text
end

local function quote(word)
  return "'" .. tostring(word):gsub("'", "'\\''") .. "'"
end

T.quote = quote

-- Runs a bash command line, with `input` (if given) as its standard input
-- and $VESSA naming vessa; gives the exit status, standard output and error.
function T.sh(command, input)
  local out, err, stdin = os.tmpname(), os.tmpname(), "/dev/null"
  if input then
    stdin = os.tmpname()
    local file = assert(io.open(stdin, "wb"))
    file:write(input)
    file:close()
  end
  local vessa = os.getenv("VESSA") or "build/vessa"
  local status = os.execute("VESSA=" .. quote(vessa) .. " bash -c " .. quote(command) .. " <" ..
                            stdin .. " >" .. out .. " 2>" .. err)
  local stdout, stderr = slurp(out), slurp(err)
  os.remove(out)
  os.remove(err)
  if input then os.remove(stdin) end
  if type(status) == "number" then status = math.floor(status / 256) end
  return status, stdout, stderr
end

-- Runs vessa with `words` (and `input` on its standard input, if given);
-- gives the exit status, standard output and error.
function T.vessa(words, input)
  local command = { '"$VESSA"' }
  for _, word in ipairs(words) do command[#command + 1] = quote(word) end
  return T.sh(table.concat(command, " "), input)
end

-- A fresh empty directory; remove it with T.remove_tree.
function T.scratch()
  local path = os.tmpname()
  os.remove(path)
  assert(os.execute("mkdir " .. quote(path)) == 0)
  return path
end

function T.remove_tree(path)
  os.execute("rm -rf " .. quote(path))
end

function T.write(path, contents)
  local file = assert(io.open(path, "wb"))
  file:write(contents)
  file:close()
end

T.read = slurp

T.loadMessages = table.concat({
  "LibNoise LOAD: Loaded Primary functions.\n",
  "LibNoise LOAD: Loaded Line noise interpretation model.\n",
  "LibNoise LOAD: Loaded Plane noise interpretation model.\n",
  "LibNoise LOAD: Loaded Sphere noise interpretation model.\n",
  "LibNoise LOAD: Loaded Cylinder noise interpretation model.\n",
  "LibNoise LOAD: Loaded Billow module.\n",
  "LibNoise LOAD: Loaded Checker-Board module.\n",
  "LibNoise LOAD: Loaded Curve module.\n",
  "LibNoise LOAD: Loaded Cylinders module.\n",
  "LibNoise LOAD: Loaded Exponents module.\n",
  "LibNoise LOAD: Loaded Perlin Noise module.\n",
  "LibNoise LOAD: Loaded Ridged Multiplicator module.\n",
  "LibNoise LOAD: Loaded Spheres module.\n",
  "LibNoise LOAD: Loaded Terrace module.\n",
  "LibNoise LOAD: Loaded Turbulence module.\n",
  "LibNoise LOAD: Loaded Voronoi module.\n",
  "LibNoise LOAD: Loaded enumerations.\n",
  "LibNoise LOAD: Loaded modules.\n",
  "LibNoise LOAD: Coherent Noise Library loaded.\nBindings by Vorlane.\n",
})

return T
