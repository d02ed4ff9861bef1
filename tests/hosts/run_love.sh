#!/bin/sh
# The LÖVE part of make test-hosts: the game of tests/hosts/love with the
# LuaJIT module and the digests plain luajit gives, under xvfb-run (Mesa's
# software GL).
#   run_love.sh MODULE_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
module=$1
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$here"/love/*.lua "$here/cases.lua" "$module/noisebind.so" "$game/"
luajit "$here/reference.lua" "$module" > "$game/expected.lua" 2>/dev/null ||
  { echo "love: FAIL plain luajit could not make the reference digests"; exit 1; }
# LÖVE's messages about the missing sound card are noise here.
# LÖVE's own exit status, inside: xvfb-run's may tell of its cleanup instead.
timeout 120 xvfb-run -a sh -c 'love "$0"; echo "$?" > "$0/status"' "$game" \
  > "$game/out.txt" 2> "$game/err.txt"
status=$(cat "$game/status" 2>/dev/null || echo "unknown, xvfb-run gave $?")
grep -v -e '^ALSA lib' -e '^AL lib' -e 'Could not open device' "$game/err.txt" >&2
cat "$game/out.txt"
if ! tail -n 1 "$game/out.txt" | grep -q '^love: .* 0 failed'; then
  last=$(grep '^trying ' "$game/out.txt" | tail -n 1)
  echo "love: FAIL (exit status $status${last:+, last: $last})"
  exit 1
fi
[ "$status" = 0 ] || { echo "love: FAIL (exit status $status)"; exit 1; }
