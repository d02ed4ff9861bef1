-- The extension's dynamic symbol table holds the two entry points and
-- nothing else of ours.
package.path = "tests/lua/?.lua;" .. package.path
local T = require("testlib")

T.run({
  { "only vessa_open and vessa_close are exported", function()
    local nm = io.popen("nm -D --defined-only '" .. os.getenv("EXTENSION") .. "'")
    local symbols = {}
    for line in nm:lines() do symbols[#symbols + 1] = line:match("(%S+)$") end
    nm:close()
    table.sort(symbols)
    T.eq(table.concat(symbols, " "), "vessa_close vessa_open")
  end },
})
