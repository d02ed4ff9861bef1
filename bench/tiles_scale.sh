#!/bin/sh
# The scale of tile pyramids of the planet (examples/graphs/planet_big.json):
# tiles per second on one core, and with 2 jobs at once on this machine's
# cores; then the whole globe's cost in core-hours per level, from the
# one-core rate. Usage: bench/tiles_scale.sh TILES_COMMAND [LEVEL] [TILE]
#   TILES_COMMAND is the noisebind command (build/programs/noisebind/noisebind).
set -eu
tiles="$1"
level="${2:-2}"
size="${3:-256}"
graph="$(dirname "$0")/../examples/graphs/planet_big.json"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
run() { $tiles tiles "$graph" --output planet --sphere --zoom "$level" --tile "$size" --threads 1 --quiet "$@"; }
count=$(( (1 << (2 * level + 1)) ))

start=$(now)
run --out "$work/one"
one=$(echo "$(now) - $start" | bc -l)

start=$(now)
run --out "$work/two" --job 0 --of 2 &
first=$!
run --out "$work/two" --job 1 --of 2
wait "$first"
two=$(echo "$(now) - $start" | bc -l)
diff -r "$work/one" "$work/two" > /dev/null || { echo "the two pyramids differ" >&2; exit 1; }

rate=$(echo "$count / $one" | bc -l)
echo "level $level, $count tiles of ${size}x$size: 1 job $(printf %.2f "$one") s, 2 jobs $(printf %.2f "$two") s"
printf "tiles/s on one core: %.3f; 2 jobs: %.3f tiles/s (x%.2f)\n" "$rate" \
  "$(echo "$count / $two" | bc -l)" "$(echo "$one / $two" | bc -l)"
echo "level | tiles | pixels across | km per pixel at the equator | core-hours"
for z in 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17; do
  n=$(echo "2 * 4^$z" | bc)
  across=$(echo "2^($z + 1) * $size" | bc)
  printf "%s | %s | %s | %.3f | %.4g\n" "$z" "$n" "$across" "$(echo "40075 / $across" | bc -l)" \
    "$(echo "$n / $rate / 3600" | bc -l)"
done
