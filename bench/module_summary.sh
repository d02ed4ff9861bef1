#!/bin/sh
# The module path of `make bench`: runs the module benchmarks of Lua 5.4 and
# LuaJIT (options as for noisebind_bench) and sums up their worst ratios.
#   module_summary.sh BUILD_DIR [OPTIONS...]
set -eu
build=$1
shift
summary="module:"
separator=""
for lua in lua5.4 luajit; do
  program=$build/bench/noisebind_module_bench_$lua
  [ -x "$program" ] || { echo "module_summary: no $program" >&2; exit 1; }
  echo
  echo "== $lua, require \"noisebind\""
  output=$("$program" --map-rounds 0 "$@")
  echo "$output"
  worst=$(echo "$output" | sed -n 's/^summary: worst c\/b \([0-9.]*\) (\([^)]*\)).*/\1 (\2)/p')
  summary="$summary$separator worst c/b $worst on $lua"
  separator=";"
done
echo
echo "$summary"
