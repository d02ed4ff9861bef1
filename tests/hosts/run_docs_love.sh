#!/bin/sh
# The docs part of make test-hosts: each ```lua love block of README.md and
# docs/*.md as the main.lua of a game of its own, with the LuaJIT module,
# under xvfb-run (see docs/tests.md).
#   run_docs_love.sh MODULE_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
module=$(cd "$1" && pwd)
cd "$here/../.."
blocks=$(mktemp -d)
trap 'rm -rf "$blocks"' EXIT
count=$(luajit "$here/../docs/check_docs.lua" --love "$blocks") ||
  { echo "docs: FAIL the blocks could not be read"; exit 1; }
failed=0
i=1
while [ "$i" -le "$count" ]; do
  game="$blocks/game$i"
  mkdir "$game"
  cp "$here/love/conf.lua" "$here/../docs/love_main.lua" "$here/../../examples/love/noisebind_loader.lua" \
    "$module/noisebind.so" "$game/"
  mv "$game/love_main.lua" "$game/main.lua"
  cp "$blocks/$i.lua" "$game/block.lua"
  where=$(head -n 1 "$game/block.lua" | cut -c 4-)
  timeout 60 xvfb-run -a love "$game" > "$game/out.txt" 2> "$game/err.txt"
  if grep -q '^docs-love: ok$' "$game/out.txt"; then
    echo "docs: $where ran in LÖVE"
  else
    failed=$((failed + 1))
    grep -v -e '^ALSA lib' -e '^AL lib' -e 'Could not open device' "$game/err.txt" >&2
    echo "docs: FAIL $where: $(cat "$game/out.txt")"
  fi
  i=$((i + 1))
done
echo "docs: $count LÖVE blocks, $failed failed"
[ "$failed" -eq 0 ]
