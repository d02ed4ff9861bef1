#!/bin/sh
# The Luanti part of make test-hosts: a headless minetestserver with a world
# of the shipped devtest game, the trusted mod noisebind_host (with the
# LuaJIT module and plain luajit's digests) and the untrusted noisebind_user.
#   run_luanti.sh MODULE_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
module=$1
world=$(mktemp -d)
trap 'rm -rf "$world"' EXIT
mkdir -p "$world/worldmods"
cp -r "$here/luanti/noisebind_host" "$here/luanti/noisebind_user" "$world/worldmods/"
host="$world/worldmods/noisebind_host"
cp "$here/cases.lua" "$module/noisebind.so" "$host/"
luajit "$here/reference.lua" "$module" > "$host/expected.lua" 2>/dev/null ||
  { echo "luanti: FAIL plain luajit could not make the reference digests"; exit 1; }
printf 'gameid = devtest\nbackend = sqlite3\nplayer_backend = sqlite3\nauth_backend = sqlite3\n' \
  > "$world/world.mt"
cat > "$world/minetest.conf" <<CONF
secure.enable_security = true
secure.trusted_mods = noisebind_host
mg_name = singlenode
server_announce = false
CONF
# A port of its own, so that several runs may share the machine.
port=$((30000 + $$ % 20000))
timeout 150 /usr/games/minetestserver --world "$world" --config "$world/minetest.conf" \
  --gameid devtest --port "$port" --quiet --logfile "$world/debug.txt" > "$world/out.txt" 2>&1
status=$?
result="$world/noisebind_result.txt"
if [ ! -f "$result" ]; then
  cat "$world/out.txt"
  echo "luanti: FAIL (exit status $status, no result); the server's errors:"
  grep 'ERROR' "$world/debug.txt" | tail -n 20
  exit 1
fi
cat "$result"
tail -n 1 "$result" | grep -q '^luanti: .* 0 failed' || { echo "luanti: FAIL"; exit 1; }
[ "$status" -eq 0 ] || { echo "luanti: FAIL (exit status $status)"; exit 1; }
