#!/bin/sh
# Checks the Debian package `make package` made: its declared dependencies,
# that it holds all an installation has, and that the tree it unpacks runs
# a script through vessa and through the Lua module of every Lua there is.
#   check_deb.sh PACKAGE.deb
set -eu
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
fail() {
  echo "FAIL $*" >&2
  exit 1
}
ok() {
  echo "ok $*"
  passed=$((passed + 1))
}

depends=$(dpkg-deb -f "$deb" Depends)
for package in libnoise0 libluajit-5.1-2 libpng16-16 libcpp-httplib0.11; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done
ok "dependencies declared"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in usr/bin/vessa usr/bin/noisebind 'usr/lib/[^/]*/noisebind/noisebind\.so' \
    'usr/lib/[^/]*/lua/5\.[1-4]/noisebind\.so' 'usr/lib/[^/]*/libvessa_host\.a' \
    'usr/lib/[^/]*/libnoisebind_image\.a' 'usr/lib/[^/]*/pkgconfig/noisebind\.pc' \
    'usr/lib/[^/]*/cmake/noisebind/noisebindConfig\.cmake' 'usr/include/noisebind/host/embed\.h' \
    'usr/include/noisebind/entry/host_interface\.h' usr/share/doc/noisebind/copyright \
    usr/share/doc/noisebind/changelog.gz usr/share/man/man1/vessa.1.gz \
    usr/share/man/man1/noisebind.1.gz; do
  echo "$contents" | grep -q "^\./$path\$" || fail "no file matches $path"
done
[ "$(echo "$contents" | grep -c '/lua/5\.[1-4]/noisebind\.so$')" -eq 4 ] || fail "not four Lua modules"
ok "contents"

# Debian's own checks: any error fails, warnings are shown.
lintian --fail-on error "$deb" ||
  fail "lintian reports errors"
ok "lintian"

dpkg -x "$deb" "$work/root"
cat >"$work/script.lua" <<'LUA'
local noise = require "noisebind"
assert(noise.LibNoise == LibNoise)
print(string.format("%.6f", LibNoise.M_Perlin.Calc(1.5, 2.25, 3.1)))
LUA
expected=-0.310948
output=$("$work/root/usr/bin/vessa" "$work/script.lua" | tail -n 1)
[ "$output" = "$expected" ] || fail "vessa printed '$output', expected '$expected'"
ok "vessa runs a script"

"$work/root/usr/bin/noisebind" schema --compact | grep -q '"RidgedMulti"' ||
  fail "noisebind schema does not describe RidgedMulti"
ok "noisebind runs"

luadir=$(dirname "$(dirname "$(find "$work/root" -path '*/lua/5.1/noisebind.so')")")
for lua in lua5.1 lua5.2 lua5.3 lua5.4 luajit; do
  command -v "$lua" >/dev/null || continue
  version=$(echo "$lua" | sed -e 's/^lua//' -e 's/^jit$/5.1/')
  output=$(LUA_CPATH="$luadir/$version/?.so" "$lua" "$work/script.lua")
  [ "$output" = "$expected" ] || fail "$lua printed '$output', expected '$expected'"
  ok "$lua runs the script through require"
  # Lua's all-in-one loader finds luaopen_noisebind_safe in the same file.
  output=$(LUA_CPATH="$luadir/$version/?.so" "$lua" -e \
    'local n = require "noisebind.safe"; print(LibNoise == nil and n.image.new(1, 1).save == nil)')
  [ "$output" = true ] || fail "$lua: require \"noisebind.safe\" printed '$output'"
  ok "$lua requires noisebind.safe"
done
echo "$passed passed, 0 failed"
