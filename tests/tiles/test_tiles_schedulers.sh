#!/bin/sh
# make test-tiles: one pyramid of the planet made by real schedulers, byte
# for byte the pyramid of one uninterrupted run:
# - GNU parallel, 7 jobs;
# - Slurm, a one-node cluster started here (munged, slurmctld and slurmd on
#   this machine, everything in a folder of the test's own), the pyramid
#   as a job array of 3 tasks; then again with one task killed mid-way and
#   requeued, which completes the pyramid.
# Usage: test_tiles_schedulers.sh TILES_COMMAND
#   TILES_COMMAND is the noisebind command (build/programs/noisebind/noisebind).
set -eu
tiles="$1"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/noisebind-tiles.XXXXXX)
chmod 755 "$work"
pids=""
cleanup() {
  # Only what this test started, by process id.
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  for pid in $pids; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
step() { echo "$(date +%T) $*"; }
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/slurm/*.log "$work"/out/*.txt; do
    [ -f "$log" ] && { echo "--- $log" >&2; tail -20 "$log" >&2; }
  done
  exit 1
}
set -- "$here/../../examples/graphs/planet_big.json" --output planet --sphere --tile 64 --threads 1 --quiet
mkdir -p "$work/out"

step "one run"
$tiles tiles "$@" --zoom 0..3 --out "$work/one"
[ "$(find "$work/one" -name '*.png' | wc -l)" = 170 ] || fail "not 170 tiles"

step "GNU parallel, 7 jobs"
parallel --will-cite --halt now,fail=1 -j 7 $tiles tiles "$@" --zoom 0..3 --out "$work/parallel" --job {} --of 7 \
  ::: 0 1 2 3 4 5 6
diff -r "$work/one" "$work/parallel" > /dev/null || fail "GNU parallel's pyramid differs"

# --- Slurm ---------------------------------------------------------------
s="$work/slurm"
mkdir -p "$s/state" "$s/spool"
chmod 700 "$s"
# Ports of our own, away from Slurm's defaults, so that a real cluster on
# this machine is not disturbed.
base=$((20000 + $$ % 20000))
dd if=/dev/urandom bs=1 count=1024 of="$s/munge.key" 2>/dev/null
chmod 400 "$s/munge.key"
munged --force --key-file="$s/munge.key" --socket="$s/munge.socket" \
  --pid-file="$s/munged.pid" --seed-file="$s/munge.seed" -F > "$s/munged.log" 2>&1 &
pids="$pids $!"
host=$(hostname -s)
cat > "$s/slurm.conf" <<CONF
ClusterName=tiles
SlurmctldHost=$host
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
SlurmctldPort=$base
SlurmdPort=$((base + 1))
AuthType=auth/munge
# A requeued task waits for the credential lifetime before it starts again.
AuthInfo=socket=$s/munge.socket,cred_expire=5
CredType=cred/munge
StateSaveLocation=$s/state
SlurmdSpoolDir=$s/spool
SlurmctldPidFile=$s/slurmctld.pid
SlurmdPidFile=$s/slurmd.pid
SlurmctldLogFile=$s/slurmctld.log
SlurmdLogFile=$s/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SchedulerType=sched/builtin
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
JobRequeue=1
NodeName=$host CPUs=$(nproc) State=UNKNOWN
PartitionName=tiles Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF="$s/slurm.conf"
for i in $(seq 50); do [ -S "$s/munge.socket" ] && break; sleep 0.1; done
slurmctld -D -i -f "$SLURM_CONF" > "$s/slurmctld.out" 2>&1 &
pids="$pids $!"
slurmd -D -f "$SLURM_CONF" -N "$host" > "$s/slurmd.out" 2>&1 &
pids="$pids $!"
step "cluster starting"
for i in $(seq 100); do
  sinfo -h -o %T 2>/dev/null | grep -q idle && break
  [ "$i" = 100 ] && fail "the one-node cluster did not come up"
  sleep 0.2
done

# Waits for every task of job array $1 to end; succeeds when all completed.
wait_array() {
  for i in $(seq 600); do
    [ -z "$(squeue -h -j "$1" 2>/dev/null)" ] && break
    [ "$i" = 600 ] && fail "job $1 still running after 2 minutes"
    sleep 0.2
  done
}
submit() {
  sbatch --parsable --array=0-2 --requeue -o "$work/out/%A_%a.txt" \
    "$here/tiles_array_task.sh" $tiles tiles "$@"
}

step "Slurm, a job array of 3"
job=$(submit "$@" --zoom 0..3 --out "$work/slurm-array")
wait_array "$job"
diff -r "$work/one" "$work/slurm-array" > /dev/null || fail "Slurm's pyramid differs"

step "Slurm, one task killed and requeued"
mkdir -p "$work/pids"
job=$(TILES_PIDS="$work/pids" submit "$@" --zoom 0..4 --out "$work/killed")
for i in $(seq 300); do [ -s "$work/pids/task-1.pid" ] && break; sleep 0.1; done
[ -s "$work/pids/task-1.pid" ] || fail "task 1 did not start"
sleep 1
step "killing task 1"
kill -KILL "$(cat "$work/pids/task-1.pid")"
wait_array "$job"
if $tiles tiles "$@" --zoom 0..4 --out "$work/killed" --verify > "$work/out/verify.txt"; then
  fail "the pyramid was complete although task 1 was killed"
fi
grep -q "^missing " "$work/out/verify.txt" || fail "verify named no missing tile"
step "requeueing task 1"
scontrol requeue "${job}_1"
wait_array "$job"
$tiles tiles "$@" --zoom 0..4 --out "$work/killed" --verify > "$work/out/verify.txt" ||
  fail "the requeued task did not complete the pyramid"
$tiles tiles "$@" --zoom 0..4 --out "$work/one4"
diff -r "$work/one4" "$work/killed" > /dev/null || fail "the requeued pyramid differs"
echo "test-tiles: ok"
