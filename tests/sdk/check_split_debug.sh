#!/bin/sh
# A module built for release: stripped, naming in its .gnu_debuglink the
# file of its debug information beside it, which holds the line tables when
# the build made them.
#   check_split_debug.sh MODULE [lines]
set -eu
module=$1
sections=$(readelf -S -W "$module")
case "$sections" in
  *.debug_info*) echo "FAIL $module keeps its debug information" >&2; exit 1 ;;
  *.symtab*) echo "FAIL $module keeps its symbol table" >&2; exit 1 ;;
  *.gnu_debuglink*) ;;
  *) echo "FAIL $module has no .gnu_debuglink" >&2; exit 1 ;;
esac
link=$(readelf -p .gnu_debuglink "$module" | sed -n 's/^ *\[ *0\] *//p')
debug="$(dirname "$module")/$link"
[ -f "$debug" ] || { echo "FAIL $module links to $link, which is not beside it" >&2; exit 1; }
if [ "${2:-}" = lines ]; then
  readelf -S -W "$debug" | grep -q '\.debug_line' ||
    { echo "FAIL $debug has no line tables" >&2; exit 1; }
fi
echo "ok $module: $(wc -c < "$module") bytes, debug information in $link"
