#!/bin/sh
# make test-hosts: the module in the two Lua hosts our users live in, LÖVE
# (under xvfb-run) and a headless Luanti server, each checked against plain
# luajit. Runs both, prints a summary, and fails if either failed.
#   run.sh MODULE_FOLDER   (the LuaJIT / Lua 5.1 build: build/lua/5.1)
set -u
here=$(dirname "$0")
failed=""
for part in love luanti docs_love; do
  echo "== $part"
  sh "$here/run_$part.sh" "$1" || failed="$failed $part"
done
if [ -n "$failed" ]; then
  echo "test-hosts: FAILED:$failed"
  exit 1
fi
echo "test-hosts: love, luanti and the docs' LÖVE blocks passed"
