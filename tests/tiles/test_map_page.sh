#!/bin/sh
# make test-tiles-page: the map page in headless chromium. A small planet
# pyramid and its terrain-RGB twin, `tiles serve` on a free port of the
# loopback, then programs/noisebind/tiles-page/check_page.mjs; its screenshot goes to $2. Then
# plane pyramids in 3D (programs/noisebind/tiles-page/check_relief.mjs): terrain-RGB alone, its
# screenshot to $3, and coloured tiles over a terrain-RGB twin.
# Usage: test_map_page.sh TILES_COMMAND SCREENSHOT SCREENSHOT_3D
set -eu
tiles="$1"
screenshot="$2"
screenshot3d="$3"
here=$(cd "$(dirname "$0")" && pwd)
page="$here/../../programs/noisebind/tiles-page"
work=$(mktemp -d)
server=""
stop() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  server=""
}
cleanup() {
  status=$?
  stop
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
# serve DIR [ARGS...]: starts `tiles serve`, sets $url.
serve() {
  rm -f "$work/serve.txt"  # not the last server's line
  $tiles tiles serve "$@" --port 0 > "$work/serve.txt" 2>&1 &
  server=$!
  for i in $(seq 50); do grep -qs "^serving" "$work/serve.txt" && break; sleep 0.1; done
  url=$(sed -n 's/^serving .* at //p' "$work/serve.txt")
  [ -n "$url" ] || { cat "$work/serve.txt" >&2; exit 1; }
}
node "$here/relief_cases.mjs"
graph="$here/../../examples/graphs/planet_big.json"
$tiles tiles "$graph" --output planet --sphere --zoom 0..2 --out "$work/planet" --quiet
$tiles tiles "$graph" --output planet --sphere --zoom 2 --format terrain-rgb --out "$work/heights" --quiet
serve "$work/planet" --elevation "$work/heights"
node "$page/check_page.mjs" "$url" "$screenshot"
stop
plane="--plane -0.5,3.5,-1,3 --zoom 0..2 --tile 128"
$tiles tiles "$graph" --output planet $plane --format terrain-rgb --height-scale 800 --out "$work/relief" --quiet
serve "$work/relief"
node "$page/check_relief.mjs" "$url" "$tiles" "$graph" planet "$screenshot3d"
stop
$tiles tiles "$graph" --output planet $plane --out "$work/coloured" --quiet
serve "$work/coloured" --elevation "$work/relief"
node "$page/check_relief.mjs" "$url" "$tiles" "$graph" planet
