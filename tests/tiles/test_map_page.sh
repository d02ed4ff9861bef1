#!/bin/sh
# make test-tiles-page: the map page in headless chromium. A small planet
# pyramid and its terrain-RGB twin, `tiles serve` on a free port of the
# loopback, then programs/noisebind/tiles-page/check_page.mjs; the screenshot goes to $2.
# Usage: test_map_page.sh TILES_COMMAND SCREENSHOT
set -eu
tiles="$1"
screenshot="$2"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
server=""
cleanup() {
  status=$?
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
graph="$here/../../examples/graphs/planet_big.json"
$tiles tiles "$graph" --output planet --sphere --zoom 0..2 --out "$work/planet" --quiet
$tiles tiles "$graph" --output planet --sphere --zoom 2 --format terrain-rgb --out "$work/heights" --quiet
$tiles tiles serve "$work/planet" --elevation "$work/heights" --port 0 > "$work/serve.txt" 2>&1 &
server=$!
for i in $(seq 50); do grep -q "^serving" "$work/serve.txt" && break; sleep 0.1; done
url=$(sed -n 's/^serving .* at //p' "$work/serve.txt")
[ -n "$url" ] || { cat "$work/serve.txt" >&2; exit 1; }
node "$here/../../programs/noisebind/tiles-page/check_page.mjs" "$url" "$screenshot"
