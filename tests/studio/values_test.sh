#!/bin/sh
# The studio's previews are the game's maps: every value of a preview
# through HTTP against noise.planemap and noise.spheremap of the same file
# in Lua, for a plane, a seamless tile and a sphere.
# Usage: values_test.sh NOISEBIND LUA_MODULE_DIR GRAPH OUTPUT
set -eu
noisebind=$1 modules=$2 graph=$3 output=$4
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$graph" "$work/graph.json"
"$noisebind" studio "$work/graph.json" --no-browser >"$work/out" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q '^open ' "$work/out" && break; sleep 0.1; done
url=$(sed -n 's/^open //p' "$work/out")
origin=${url%%/?token=*}
token=${url##*token=}

# view: projection, bounds, width, height; the Lua builder and its options.
check() {
  projection=$1 bounds=$2 width=$3 height=$4 builder=$5 options=$6
  text=$(sed -e 's/\\/\\\\/g' -e 's/"/\\"/g' "$work/graph.json" | awk '{ printf "%s\\n", $0 }')
  printf '{"graph": "%s", "target": {"output": "%s"}, "view": {"projection": "%s", "bounds": [%s], "width": %s, "height": %s}}' \
    "$text" "$output" "$projection" "$bounds" "$width" "$height" >"$work/request"
  status=$(curl -s -o "$work/studio.bin" -w '%{http_code}' -H "X-Studio-Token: $token" \
    -H 'Content-Type: application/json' --data-binary "@$work/request" "$origin/api/preview")
  [ "$status" = 200 ] || { echo "preview $projection: status $status: $(cat "$work/studio.bin")"; exit 1; }
  LUA_CPATH="$modules/?.so" lua5.4 - "$work/graph.json" "$output" >"$work/lua.bin" <<LUA
local noise = require "noisebind"
local file = assert(io.open(arg[1], "rb"))
local outputs = noise.decode(file:read("*a"))
file:close()
local map = noise.$builder(outputs[arg[2]], { $bounds }, $width, $height, $options)
local out = {}
for y = 0, $height - 1 do
  for x = 0, $width - 1 do out[#out + 1] = string.pack("<d", map:get(x, y)) end
end
io.stdout:write(table.concat(out))
LUA
  cmp "$work/studio.bin" "$work/lua.bin" || { echo "$projection: the values differ"; exit 1; }
  echo "ok: $projection $width x $height, every value as noise.$builder"
}

check plane "-1.5, 2.25, 0.1, 3.3" 96 64 planemap "nil"
check seamless "0, 4, 0, 4" 64 64 planemap "{ seamless = true }"
check sphere "-61.3, 77.9, -170.2, 95.7" 90 45 spheremap "nil"
kill -INT "$pid"
wait "$pid"
echo "ok: stopped by Ctrl-C, status 0"
