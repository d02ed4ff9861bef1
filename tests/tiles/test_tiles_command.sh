#!/bin/sh
# The tiles command end to end: a pyramid from one job and from three,
# byte for byte; --verify naming a missing tile; the command's refusals.
set -eu
driver="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/g.graph" <<'GRAPH'
{"format": "noisebind-graph", "version": 1,
 "nodes": [{"id": "hills", "class": "Perlin", "sources": [], "fields": {"octaves": 3}}],
 "outputs": {"height": "hills"}}
GRAPH
fail() { echo "FAIL: $*" >&2; exit 1; }

"$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 32 --out "$work/one" --threads 2 --quiet
for k in 0 1 2; do
  SLURM_ARRAY_TASK_ID=$k SLURM_ARRAY_TASK_COUNT=3 \
    "$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 32 --out "$work/three" --threads 1 --quiet
done
diff -r "$work/one" "$work/three" || fail "one job and three differ"
[ "$(find "$work/one" -name '*.png' | wc -l)" = 42 ] || fail "not 42 tiles"

rm "$work/three/2/5/3.png"
if "$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 32 --out "$work/three" --verify > "$work/verify.txt"; then
  fail "verify passed with a tile missing"
fi
grep -qx "missing 2/5/3.png" "$work/verify.txt" || fail "verify did not name the tile: $(cat "$work/verify.txt")"
"$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 32 --out "$work/three" > "$work/again.txt"
grep -qx "job 0 of 1: 1 tiles written, 41 complete already, 0 temporaries removed" "$work/again.txt" ||
  fail "rerun: $(cat "$work/again.txt")"
"$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 32 --out "$work/three" --verify --job 1 --of 2 > /dev/null ||
  fail "verify of a share"

# Refusals of the command line: each with its message, status 2.
refused() {
  expected="$1"
  shift
  status=0
  "$driver" tiles "$work/g.graph" "$@" > /dev/null 2> "$work/err.txt" || status=$?
  [ "$status" = 2 ] || fail "status $status for $*"
  grep -qxF "noisebind tiles: $expected" "$work/err.txt" || fail "for $*: $(cat "$work/err.txt")"
}
refused "give either --sphere or --plane X0,X1,Z0,Z1" --zoom 0 --out "$work/x"
refused "give either --sphere or --plane X0,X1,Z0,Z1" --sphere --plane 0,0,1,1 --zoom 0 --out "$work/x"
refused "--format must be png, heightmap16 or terrain-rgb, got 'jpeg'" --sphere --zoom 0 --out "$work/x" --format jpeg
refused "--range must be LOW..HIGH, finite, LOW < HIGH, got '1..1'" --sphere --zoom 0 --out "$work/x" --range 1..1
refused "--job and --of go together" --sphere --zoom 0 --out "$work/x" --job 1
refused "$work/g.graph has no output 'nope' (it has 'height')" --sphere --zoom 0 --out "$work/x" --output nope
# A folder of another pyramid: an input fault, status 1.
if "$driver" tiles "$work/g.graph" --sphere --zoom 0..2 --tile 16 --out "$work/one" 2> "$work/err.txt"; then
  fail "wrote into another pyramid's folder"
fi
grep -qxF "noisebind tiles: $work/one/tiles.json describes another pyramid (another graph or other settings): write this one into another folder" \
  "$work/err.txt" || fail "another pyramid: $(cat "$work/err.txt")"
echo "tiles command: ok"
