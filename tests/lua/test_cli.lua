-- The vessa command line: options, exit statuses, arguments, several states.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

local fixtures = "tests/lua/fixtures/"
local empty = fixtures .. "empty.lua"

local function usage_error(words, fragment)
  local status, stdout, stderr = T.vessa(words)
  T.eq(status, 2, "exit status of " .. table.concat(words, " "))
  T.eq(stdout, "", "standard output")
  T.check(stderr:find(fragment, 1, true), "message " .. T.show(stderr) .. " lacks " .. fragment)
  T.eq(select(2, stderr:gsub("\n", "")), 1, "usage errors are one line")
end

T.run({
  { "help and version", function()
    local status, stdout = T.vessa({ "--help" })
    T.eq(status, 0)
    T.check(stdout:find("usage: vessa [--extension PATH] [--before FILE]... SCRIPT [ARGS...]", 1, true))
    status, stdout = T.vessa({ "--version" })
    T.eq(status, 0)
    T.check(stdout:match("^vessa %d+%.%d+%.%d+ %(LuaJIT 2%.1"), stdout)
  end },

  { "usage errors exit with 2 and one line", function()
    usage_error({}, "vessa: no script given")
    usage_error({ "--bogus", empty }, "unknown option '--bogus'")
    usage_error({ "--extension" }, "option '--extension' needs a file")
    usage_error({ "--before" }, "option '--before' needs a file")
    usage_error({ fixtures .. "missing.lua" }, "cannot read '" .. fixtures .. "missing.lua': No such file")
    usage_error({ "--before", fixtures .. "missing.lua", empty }, "cannot read")
    usage_error({ fixtures }, "Is a directory")
    usage_error({ "--extension", "/nonexistent/noisebind.so", empty }, "cannot load extension")
    usage_error({ "--extension", os.getenv("NO_ENTRY_POINTS"), empty },
                "has no entry point 'vessa_open'")
  end },

  { "an empty script prints the load messages and exits with 0", function()
    local status, stdout, stderr = T.vessa({ empty })
    T.eq(status, 0)
    T.eq(stdout, T.loadMessages, "standard output")
    T.eq(stderr, "", "standard error")
    status, stdout = T.vessa({ "--extension", os.getenv("EXTENSION"), empty })
    T.eq(status, 0)
    T.eq(stdout, T.loadMessages, "with --extension")
  end },

  { "a script error exits with 1, its message and a traceback", function()
    local status, stdout, stderr = T.vessa({ fixtures .. "raise.lua" })
    T.eq(status, 1)
    T.eq(stdout, T.loadMessages)
    T.check(stderr:find("^vessa: " .. fixtures:gsub("%p", "%%%0") .. "raise.lua:2: deliberate failure"),
            stderr)
    T.check(stderr:find("stack traceback:", 1, true), stderr)
    T.check(stderr:find("in function 'inner'", 1, true) or stderr:find("inner", 1, true), stderr)
  end },

  { "arguments reach arg and ...", function()
    local status, stdout = T.vessa({ fixtures .. "show_args.lua", "one", "two" })
    T.eq(status, 0)
    T.eq(stdout:sub(#T.loadMessages + 1),
         "true\t" .. fixtures .. "show_args.lua\tone\ttwo\t2\tone\ttwo\n")
    status, stdout = T.vessa({ "--", fixtures .. "show_args.lua", "--help" })
    T.eq(status, 0)
    T.check(stdout:find("show_args.lua\t--help\tnil\t1\t--help\n", 1, true), stdout)
  end },

  { "before scripts run first, each in a fresh state, sharing settings", function()
    LibNoise.M_Perlin.SetFrequency(3)
    local expected = string.format("%.9g", LibNoise.M_Perlin.Calc(0.1, 0.2, 0.3))
    local status, stdout = T.vessa({ "--before", fixtures .. "set_perlin.lua",
                                     "--before", empty, fixtures .. "check_perlin.lua" })
    T.eq(status, 0)
    T.eq(stdout, T.loadMessages .. "set_perlin ran\n" .. T.loadMessages .. T.loadMessages ..
                 "globals\tnil\ncurve\t5\nperlin\t" .. expected .. "\n")
  end },

  { "a failing before script stops the run", function()
    local status, stdout = T.vessa({ "--before", fixtures .. "raise.lua", empty })
    T.eq(status, 1)
    T.eq(stdout, T.loadMessages, "the main script never ran")
  end },

  { "console output comes in order", function()
    local status, stdout = T.vessa({ fixtures .. "interleave.lua" })
    T.eq(status, 0)
    T.eq(stdout, T.loadMessages .. "first\nsecond\nthird\n")
  end },
})
