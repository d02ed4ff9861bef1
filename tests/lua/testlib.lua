-- Small helpers for the script tests: checks that raise on failure, float
-- rounding, and running vessa as a separate process.
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

-- x rounded to single precision (to nearest, ties to even), in plain Lua
-- for the Luas that have neither LuaJIT's ffi nor string.pack.
local function round_to_float(x)
  if x ~= x or x == 0 or x == math.huge or x == -math.huge then return x end
  local mantissa, exponent = math.frexp(x)  -- x = mantissa * 2^exponent, 0.5 <= |mantissa| < 1
  -- 24 significant bits, fewer for the subnormals below 2^-126.
  local bits = math.min(24, exponent + 149)
  if bits < 0 then return 0 * x end
  local scaled = math.ldexp(mantissa, bits)
  local rounded = math.floor(scaled + 0.5)
  if rounded - scaled == 0.5 and rounded % 2 == 1 then rounded = rounded - 1 end
  local y = math.ldexp(rounded, exponent - bits)
  if math.abs(y) >= 2 ^ 128 then return x > 0 and math.huge or -math.huge end
  return y
end

local has_ffi, ffi = pcall(require, "ffi")

-- The value a script receives for x: results are single-precision numbers.
function T.f32(x)
  if has_ffi then return tonumber(ffi.new("float", x)) end
  if string.pack then return (string.unpack("f", string.pack("f", x))) end
  return round_to_float(x)
end

-- The exit status from what os.execute returned: a wait status in Lua 5.1
-- and LuaJIT without 5.2 compatibility; true or nil, "exit" or "signal",
-- and a number from Lua 5.2 on.
function T.exitstatus(result, how, code)
  if type(result) == "number" then return math.floor(result / 256) end
  if how == "signal" then return 128 + code end
  return code or (result and 0 or 1)
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
  local status = T.exitstatus(os.execute("VESSA=" .. quote(vessa) .. " bash -c " .. quote(command) ..
                                        " <" .. stdin .. " >" .. out .. " 2>" .. err))
  local stdout, stderr = slurp(out), slurp(err)
  os.remove(out)
  os.remove(err)
  if input then os.remove(stdin) end
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
