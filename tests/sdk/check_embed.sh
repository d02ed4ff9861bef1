#!/bin/sh
# Installs the build into a temporary prefix, builds the embedding example
# against it (with its CMake package and with pkg-config) and runs both.
#   check_embed.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
extension=$(find "$prefix" -path '*/noisebind/noisebind.so')
code='local n = require "noisebind"
assert(n == noise and n.LibNoise == LibNoise, "one noise table")
assert(#noise.messages() == 19, "the load messages are kept")
print(string.format("%.6f", LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1)))'
expected=-0.310948

check() {
  output=$("$1" "$extension" "$code")
  if [ "$output" != "$expected" ]; then
    echo "FAIL $2: printed '$output', expected '$expected'" >&2
    exit 1
  fi
  if "$1" "$extension" 'error("raised")' 2>"$work/err"; then
    echo "FAIL $2: a script error exits with 0" >&2
    exit 1
  fi
  grep -q 'raised' "$work/err" || { echo "FAIL $2: error not shown" >&2; exit 1; }
  echo "ok $2"
}

# With the CMake package, as examples/embed/CMakeLists.txt builds it.
cmake -S "$source/examples/embed" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
check "$work/cmake/embed" "cmake package"

# With pkg-config.
export PKG_CONFIG_PATH="$(dirname "$(find "$prefix" -name noisebind.pc)")"
# shellcheck disable=SC2046
c++ -o "$work/embed" "$source/examples/embed/embed.cpp" $(pkg-config --cflags --libs noisebind)
check "$work/embed" "pkg-config"
echo "2 passed, 0 failed"
