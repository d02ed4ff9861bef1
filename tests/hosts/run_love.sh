#!/bin/sh
# The LÖVE part of make test-hosts: the game of tests/hosts/love with the
# LuaJIT module and the digests plain luajit gives, under xvfb-run (Mesa's
# software GL), run from a folder and zipped as a .love (which loads the
# module through examples/love/noisebind_loader.lua, from a copy in the save
# folder); then examples/love zipped, until it has drawn.
#   run_love.sh MODULE_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples/love" && pwd)
module=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game="$work/game"
mkdir "$game"
cp "$here"/love/*.lua "$here/cases.lua" "$examples/noisebind_loader.lua" "$module/noisebind.so" \
  "$game/"
luajit "$here/reference.lua" "$module" > "$game/expected.lua" 2>/dev/null ||
  { echo "love: FAIL plain luajit could not make the reference digests"; exit 1; }
(cd "$game" && zip -q -r "$work/game.love" .) || { echo "love: FAIL zip"; exit 1; }
example="$work/example"
mkdir "$example"
cp "$examples"/*.lua "$module/noisebind.so" "$example/"
(cd "$example" && zip -q -r "$work/example.love" .) || { echo "love: FAIL zip"; exit 1; }

# run LABEL PATH [ARGUMENTS]: LÖVE on PATH with the save folders in $work/data,
# its output in $work/out.txt and its own exit status in $status (inside:
# xvfb-run's may tell of its cleanup instead). LÖVE's messages about the
# missing sound card are noise here.
run() {
  label=$1
  shift
  rm -f "$work/status"
  XDG_DATA_HOME="$work/data" timeout 120 xvfb-run -a \
    sh -c 'love "$@"; echo "$?" > "$0"' "$work/status" "$@" > "$work/out.txt" 2> "$work/err.txt"
  status=$(cat "$work/status" 2>/dev/null || echo "unknown, xvfb-run gave $?")
  grep -v -e '^ALSA lib' -e '^AL lib' -e 'Could not open device' "$work/err.txt" >&2
  echo "-- $label"
  grep -v "Could not open device" "$work/out.txt"
}

# The files the loader left in the save folders: its copies of the module,
# and nothing half written.
copies() {
  find "$work/data" -type f -name 'noisebind-*' 2>/dev/null | wc -l
}

# The last form finds the copy of the one before cut short, as a game
# stopped while writing it would leave it, and must make it whole again.
failed=0
for form in folder zipped cut; do
  case $form in
    folder) rm -rf "$work/data"; run "from a folder" "$game" ;;
    zipped) rm -rf "$work/data"; run "zipped" "$work/game.love" ;;
    cut)
      find "$work/data" -name 'noisebind-*.so' -exec truncate -s 4096 {} \;
      run "zipped, over a copy cut short" "$work/game.love" ;;
  esac
  if ! tail -n 1 "$work/out.txt" | grep -q '^love: .* 0 failed'; then
    last=$(grep '^trying ' "$work/out.txt" | tail -n 1)
    echo "love: FAIL $form (exit status $status${last:+, last: $last})"
    failed=1
  elif [ "$status" != 0 ]; then
    echo "love: FAIL $form (exit status $status)"
    failed=1
  fi
  # A folder game loads its own file; a zipped one one copy, for every thread.
  want=1
  [ "$form" = folder ] && want=0
  [ "$(copies)" = "$want" ] ||
    { echo "love: FAIL $form made $(copies) copies of the module, not $want"; failed=1; }
done

rm -rf "$work/data"
run "examples/love zipped" "$work/example.love" --check
if [ "$status" != 0 ] || ! grep -q '^love example: drew' "$work/out.txt"; then
  echo "love: FAIL examples/love zipped (exit status $status)"
  failed=1
fi
[ "$failed" = 0 ] &&
  echo "love: the game from a folder, zipped and over a copy cut short, and the example zipped, passed"
exit "$failed"
