#!/bin/sh
# The rockspec's commands, as a user would run them, for each Lua version
# given, into a temporary tree; LuaJIT also loads the 5.1 build. The module
# installed is stripped, its debug information beside it.
#   check_rockspec.sh VERSION...
set -eu
cd "$(dirname "$0")/../.."
passed=0
for version in "$@"; do
  tree=$(mktemp -d)
  luarocks --lua-version "$version" make --tree "$tree" noisebind-scm-1.rockspec >"$tree.log" 2>&1 ||
    { cat "$tree.log" >&2; echo "FAIL luarocks make for $version" >&2; exit 1; }
  rm -f "$tree.log"
  module=$(find "$tree" -name noisebind.so)
  sh tests/sdk/check_split_debug.sh "$module" lines || exit 1
  output=$(
    eval "$(luarocks --lua-version "$version" --tree "$tree" path)"
    "lua$version" -e 'local noise = require "noisebind"; print(LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1))'
    "lua$version" -e 'local noise = require "noisebind.safe"
      print(LibNoise == nil and noise.LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1))'
    if [ "$version" = 5.1 ]; then
      luajit -e 'require "noisebind"; print(LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1))'
    fi
  )
  rm -rf "$tree"
  for line in $output; do
    case "$line" in -0.3109480*) ;; *) echo "FAIL Lua $version printed: $output" >&2; exit 1 ;; esac
  done
  echo "ok rockspec for Lua $version"
  passed=$((passed + 1))
done
echo "$passed passed, 0 failed"
