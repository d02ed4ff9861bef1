-- Saving to links into open files, through vessa: /dev/stdout and its
-- kin are written in place, so that a shell's redirect keeps what came
-- before and after, and a pipe works; other paths into /proc and /sys are
-- refused with the reason.
local T = dofile("tests/lua/testlib.lua")

local dir = T.scratch()

-- A script that prints a line, saves 2 float32 values (or a 1 x 1 PNG)
-- to `path` and prints another line.
local function script(path, save)
  return table.concat({
    'local noise = require "noisebind"',
    'print("line 1")',
    'local m = noise.planemap(noise.Const{ value = 1 }, { 0, 1, 0, 1 }, 2, 1)',
    save or "m:saveraw(" .. string.format("%q", path) .. ")",
    'print("line 2")',
  }, "\n")
end

local data = "line 1\n\0\0\128\63\0\0\128\63line 2\n"

T.run({
  { "a redirect keeps every line in order", function()
    for _, path in ipairs({ "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "/proc/thread-self/fd/1" }) do
      local report = dir .. "/report.txt"
      local status, _, err = T.sh('"$VESSA" -q -e ' .. T.quote(script(path)) .. " > " .. report)
      T.eq(status, 0, path .. ": " .. err)
      T.eq(T.read(report), data, path)
    end
  end },
  { "appending keeps what the file held", function()
    local report = dir .. "/appended.txt"
    T.write(report, "before\n")
    local status, _, err = T.sh('"$VESSA" -q -e ' .. T.quote(script("/dev/stdout")) .. " >> " .. report)
    T.eq(status, 0, err)
    T.eq(T.read(report), "before\n" .. data, "appended")
  end },
  { "a pipe", function()
    local status, out, err = T.sh('"$VESSA" -q -e ' .. T.quote(script("/dev/stdout")) .. " | cat")
    T.eq(status, 0, err)
    T.eq(out, data, "through cat")
  end },
  { "a picture to standard error", function()
    local save = "noise.image.new(1, 1):save('/dev/stderr')"
    local status, out, err = T.sh('"$VESSA" -q -e ' .. T.quote(script(nil, save)))
    T.eq(status, 0, err)
    T.eq(out, "line 1\nline 2\n", "standard output")
    T.eq(err:sub(2, 4), "PNG", "standard error")
  end },
  { "refused, with the reason", function()
    local cases = {
      { "/proc/self/mem", "a file of the kernel's /proc, not written" },
      { "/proc/self/fdinfo/1", "a file of the kernel's /proc, not written" },
      { "/sys/kernel/noisebind", "a file of the kernel's /sys, not written" },
      { "/dev/stdin", "descriptor 0 is open for reading only" },
      { "/dev/fd/9", "Bad file descriptor" },
      { "/proc/$PPID/fd/1", "a link into an open file of process " },
    }
    for _, case in ipairs(cases) do
      local status, out, err = T.sh('"$VESSA" -q -e ' .. T.quote(script(case[1])):gsub("%$PPID", "'$PPID'"))
      T.eq(status, 1, case[1] .. " status")
      T.eq(out, "line 1\n", case[1] .. " output")
      T.check(err:find("(cannot write '", 1, true) and err:find(case[2], 1, true), err)
    end
  end },
})
T.remove_tree(dir)
