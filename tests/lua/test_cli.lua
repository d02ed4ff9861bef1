-- The vessa command line: options, exit statuses, arguments, several states,
-- scripts from pipes, and what goes to which stream.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

local fixtures = "tests/lua/fixtures/"
local empty = fixtures .. "empty.lua"
local usage = "usage: vessa [options] [SCRIPT [ARGS...]]"

local function usage_error(words, fragment)
  local status, stdout, stderr = T.vessa(words)
  T.eq(status, 2, "exit status of " .. table.concat(words, " "))
  T.eq(stdout, "", "standard output")
  T.check(stderr:find(fragment, 1, true), "message " .. T.show(stderr) .. " lacks " .. fragment)
  T.eq(select(2, stderr:gsub("\n", "")), 1, "usage errors are one line")
end

-- Runs a bash command line that uses "$VESSA" and checks what it gives.
local function expect(command, status, stdout, stderr_fragment, input)
  local got_status, got_stdout, got_stderr = T.sh(command, input)
  T.eq(got_stdout, stdout, "standard output of " .. command)
  T.eq(got_status, status, "exit status of " .. command .. " (standard error: " .. got_stderr .. ")")
  if stderr_fragment then
    T.check(got_stderr:find(stderr_fragment, 1, true),
            "standard error " .. T.show(got_stderr) .. " lacks " .. stderr_fragment)
  end
  return got_stderr
end

T.run({
  { "help and version, long and short", function()
    for _, option in ipairs({ "--help", "-h" }) do
      local status, stdout = T.vessa({ option })
      T.eq(status, 0)
      T.check(stdout:find(usage, 1, true), stdout)
    end
    for _, option in ipairs({ "--version", "-v" }) do
      local status, stdout = T.vessa({ option })
      T.eq(status, 0)
      T.check(stdout:match("^vessa %d+%.%d+%.%d+ %(LuaJIT 2%.1"), stdout)
    end
  end },

  { "usage errors exit with 2 and one line", function()
    usage_error({ "--bogus", empty }, "unknown option '--bogus'")
    usage_error({ "--extension" }, "option '--extension' needs a file")
    usage_error({ "--extension", "", empty }, "option '--extension' needs a file")
    usage_error({ "--before" }, "option '--before' needs a file")
    usage_error({ "-e" }, "option '-e' needs a chunk")
    usage_error({ fixtures .. "missing.lua" }, "cannot read '" .. fixtures .. "missing.lua': No such file")
    usage_error({ "--before", fixtures .. "missing.lua", empty }, "cannot read")
    usage_error({ fixtures }, "Is a directory")
    usage_error({ "--extension", "/nonexistent/noisebind.so", empty }, "cannot load extension")
    usage_error({ "--extension", os.getenv("NO_ENTRY_POINTS"), empty },
                "has no entry point 'vessa_open'")
  end },

  { "the console goes to standard error, and -q drops it", function()
    local status, stdout, stderr = T.vessa({ empty })
    T.eq(status, 0)
    T.eq(stdout, "", "standard output")
    T.eq(stderr, T.loadMessages, "standard error")
    status, stdout, stderr = T.vessa({ "--extension", os.getenv("EXTENSION"), empty })
    T.eq(status, 0)
    T.eq(stderr, T.loadMessages, "with --extension")
    for _, option in ipairs({ "-q", "--quiet" }) do
      status, stdout, stderr = T.vessa({ option, fixtures .. "interleave.lua" })
      T.eq(status, 0)
      T.eq(stdout, "first\nsecond\nthird\n")
      T.eq(stderr, "", "with " .. option)
    end
  end },

  { "a script error exits with 1, its message and a traceback", function()
    local status, stdout, stderr = T.vessa({ fixtures .. "raise.lua" })
    T.eq(status, 1)
    T.eq(stdout, "")
    T.eq(stderr:sub(1, #T.loadMessages), T.loadMessages)
    stderr = stderr:sub(#T.loadMessages + 1)
    T.check(stderr:find("^vessa: " .. fixtures:gsub("%p", "%%%0") .. "raise.lua:2: deliberate failure"),
            stderr)
    T.check(stderr:find("stack traceback:", 1, true), stderr)
    T.check(stderr:find("in function 'inner'", 1, true) or stderr:find("inner", 1, true), stderr)
  end },

  { "an extension whose open fails is reported, and nothing runs", function()
    local status, stdout, stderr = T.vessa({ "--extension", os.getenv("OPEN_FAILS"), "-e", "print(1)" })
    T.eq(status, 1)
    T.eq(stdout, "", "the chunk never ran")
    T.eq(stderr, "vessa: the extension's open returned 7\n")
  end },

  { "arguments reach arg and ...", function()
    local status, stdout = T.vessa({ "-q", fixtures .. "show_args.lua", "one", "two" })
    T.eq(status, 0)
    T.eq(stdout, "true\t" .. fixtures .. "show_args.lua\tone\ttwo\t2\tone\ttwo\n")
    status, stdout = T.vessa({ "-q", "--", fixtures .. "show_args.lua", "--help" })
    T.eq(status, 0)
    T.check(stdout:find("show_args.lua\t--help\tnil\t1\t--help\n", 1, true), stdout)
  end },

  { "thousands of arguments run; too many are a usage error", function()
    expect('"$VESSA" -q -e "print(#arg)" - $(seq 5000)', 0, "5000\n5000\t5000\n", nil,
           "print(#arg, select('#', ...))")
    expect('"$VESSA" ' .. T.quote(empty) .. " $(seq 65500)", 2, "", "too many arguments")
  end },

  { "before scripts run first, each in a fresh state, sharing settings", function()
    LibNoise.M_Perlin.SetFrequency(3)
    local expected = string.format("%.9g", LibNoise.M_Perlin.Calc(0.1, 0.2, 0.3))
    local status, stdout, stderr = T.vessa({ "--before", fixtures .. "set_perlin.lua",
                                             "--before", empty, fixtures .. "check_perlin.lua" })
    T.eq(status, 0)
    T.eq(stdout, "set_perlin ran\nglobals\tnil\ncurve\t5\nperlin\t" .. expected .. "\n")
    T.eq(stderr, T.loadMessages .. T.loadMessages .. T.loadMessages)
  end },

  { "a failing before script stops the run", function()
    local status, stdout = T.vessa({ "-q", "--before", fixtures .. "raise.lua", fixtures .. "interleave.lua" })
    T.eq(status, 1)
    T.eq(stdout, "", "the main script never ran")
  end },

  { "-e chunks run in the script's state, in order with --before", function()
    expect('"$VESSA" -q -e "x = 6" -e "print(x * 7)"', 0, "42\n")
    expect('"$VESSA" -q -e "x = 6" -e"y = 7" - a', 0, "42\ta\n", nil, "print(x * y, ...)")
    expect('"$VESSA" -q -e "print(1)" --before ' .. fixtures .. 'set_perlin.lua -e "print(2)"', 0,
           "1\nset_perlin ran\n2\n")
    expect('"$VESSA" -q -e "error(\'boom\')" -e "print(2)"', 1, "",
           "vessa: (command line):1: boom")
  end },

  { "scripts from pipes, FIFOs and standard input are read once", function()
    expect('echo \'print("hi")\' | "$VESSA" -q /dev/stdin', 0, "hi\n")
    expect('"$VESSA" -q <(echo \'error("x")\')', 1, "", ': x')
    expect('"$VESSA" -q - one', 0, "stdin\tone\n", nil, "print(arg[0] == '-' and 'stdin', ...)")
    -- Over 4 KiB: the first block once went missing.
    local long = string.rep("n = (n or 0) + 1\n", 500) .. "print(n)\n"
    expect('cat | "$VESSA" -q /dev/stdin', 0, "500\n", nil, long)
    local folder = T.scratch()
    local fifo = folder .. "/script.lua"
    expect("mkfifo " .. fifo .. "; (echo 'print(1)' > " .. fifo .. " &); timeout 20 \"$VESSA\" -q " .. fifo,
           0, "1\n")
    T.remove_tree(folder)
  end },

  { "with no script and no -e off a terminal, standard input is the script", function()
    expect('echo "print(1)" | "$VESSA" -q', 0, "1\n")
    expect('"$VESSA" -q < /dev/null', 0, "")
    expect('"$VESSA" -q', 1, "", "stdin:1: x", "error('x')")
    expect('"$VESSA" -q', 0, "true\ttrue\n", nil,
           'local noise = require "noisebind"; print(noise == _G.noise, noise.LibNoise == LibNoise)')
    -- -e alone runs only its chunks, as in lua.
    expect('echo "print(2)" | "$VESSA" -q -e "print(1)"', 0, "1\n")
  end },

  { "a first line starting with # is skipped, and lines keep their numbers", function()
    expect('"$VESSA" -q -', 1, "", "stdin:2: second line", "#!/usr/bin/env vessa\nerror('second line')\n")
    expect('"$VESSA" -q -', 0, "ok\n", nil, "# a comment\nprint('ok')")
  end },

  { "output comes in order, line by line, even through a pipe", function()
    expect('"$VESSA" -q ' .. fixtures .. 'interleave.lua 2>&1 | cat', 0, "first\nsecond\nthird\n")
    local _, stdout = T.sh('"$VESSA" -q -e "print(1) io.stderr:write(2, \'\\n\') print(3) error(4, 0)" 2>&1 | cat')
    T.eq(stdout:sub(1, 15), "1\n2\n3\nvessa: 4\n")
  end },

  { "-i reads statements and expressions after the script", function()
    local input = "x = 6 * 7\n= x\nx + 1\nfor i = 1, 2 do\nprint(i)\nend\nerror('oops')\nprint('after')\n"
    local stderr = expect('"$VESSA" -q -i', 0, "42\n43\n1\n2\nafter\n", "oops", input)
    T.check(not stderr:find("after"), stderr)
    expect('"$VESSA" -q -e "y = 5" -i', 0, "5\n", nil, "= y\n")
  end },

  { "with no script on a terminal, an interactive prompt", function()
    if os.execute("command -v script >/dev/null") ~= 0 then return end
    local status, stdout = T.sh('printf "print(6 * 7)\\n" | timeout 20 script -qec "\\"$VESSA\\" -q" /dev/null')
    T.eq(status, 0)
    T.check(stdout:find("42\r\n", 1, true), stdout)
  end },
})
