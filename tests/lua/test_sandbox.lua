-- vessa --sandbox: every way found for a script to crash or corrupt the host
-- is open without it and closed with it, and everything else still works.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

local folder = T.scratch()
local dumped = string.dump(function() return 1 end)
T.write(folder .. "/binary.lua", dumped)
local no_entry_points = os.getenv("NO_ENTRY_POINTS")
local c_folder, c_name = no_entry_points:match("^(.*)/([^/]+)%.so$")

-- Name, and an expression that gives a true value when the way is open.
local ways = {
  { "ffi", "require('ffi')" },
  { "ffi, preloaded", "package.preload.ffi" },
  { "debug", "debug" },
  { "debug through require", "require('debug')" },
  { "string.buffer (raw pointers in and out)", "require('string.buffer')" },
  { "jit.util", "require('jit.util')" },
  { "package.loadlib", "package.loadlib" },
  { "C modules through require",
    "(function() package.cpath = '" .. c_folder .. "/?.so' "
      .. "local ok, e = pcall(require, '" .. c_name .. "') return e:find('luaopen_') end)()" },
  { "binary chunks through load", "load(DUMPED)" },
  { "binary chunks through load, asked for", "load(DUMPED, 'x', 'b')" },
  { "binary chunks through loadstring", "loadstring(DUMPED)" },
  { "binary chunks through loadfile", "loadfile(FOLDER .. '/binary.lua')" },
  { "binary chunks through dofile", "dofile(FOLDER .. '/binary.lua')" },
  { "binary chunks through require",
    "(function() package.path = FOLDER .. '/?.lua' return require('binary') end)()" },
  { "os.execute (a child can signal the host)", "os.execute" },
  { "io.popen", "io.popen" },
  { "writing the host's memory through /proc", "io.open('/proc/self/mem', 'r+')" },
  { "writing a device", "io.open('/dev/null', 'w')" },
  { "io.output to the host's memory", "io.output('/proc/self/mem')" },
}

local lines = { "DUMPED = " .. string.format("%q", dumped), "FOLDER = " .. string.format("%q", folder) }
for _, way in ipairs(ways) do
  lines[#lines + 1] = "print(" .. string.format("%q", way[1]) ..
                      ", (pcall(function() return assert(" .. way[2] .. ") end)))"
end
local probe = folder .. "/probe.lua"
T.write(probe, table.concat(lines, "\n") .. "\n")

local function open_ways(words)
  local status, stdout, stderr = T.vessa(words)
  T.eq(status, 0, "exit status (" .. stderr .. ")")
  local open = {}
  for name, state in stdout:gmatch("([^\n]+)\t([^\t\n]+)\n") do open[name] = state == "true" end
  return open
end

T.run({
  { "each way is open without --sandbox and closed with it", function()
    local plain = open_ways({ "-q", probe })
    local sandboxed = open_ways({ "-q", "--sandbox", probe })
    for _, way in ipairs(ways) do
      T.eq(plain[way[1]], true, way[1] .. " without --sandbox")
      T.eq(sandboxed[way[1]], false, way[1] .. " with --sandbox")
    end
  end },

  { "a binary script is refused, whatever its name", function()
    T.eq(T.vessa({ "-q", folder .. "/binary.lua" }), 0, "runs without --sandbox")
    for _, script in ipairs({ folder .. "/binary.lua", "-" }) do
      local status, _, stderr = T.vessa({ "-q", "--sandbox", script }, dumped)
      T.eq(status, 1, script)
      T.check(stderr:find("wrong mode", 1, true), stderr)
    end
  end },

  { "scripts still have what they need", function()
    local status, stdout, stderr = T.vessa({ "-q", "--sandbox", "-e", [[
      local img = image.new(2, 2)
      img:set(0, 0, LibNoise.SCurve3(0.5) * 2)
      print(img:get(0, 0), noise.image == image, type(require("noisebind").LibNoise),
            (load("return 1 + 1")()), io.open(arg[1], "w") ~= nil, type(jit.off))
    ]], "-", folder .. "/written.txt" }, "")
    T.eq(stderr, "")
    T.eq(status, 0)
    T.eq(stdout, "1\ttrue\ttable\t2\ttrue\tfunction\n")
  end },
})

T.remove_tree(folder)
