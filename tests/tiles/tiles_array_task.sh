#!/bin/sh
# One task of a Slurm job array (or of any scheduler that sets the job's
# number in the environment): the tiles command finds its share itself.
# TILES_PIDS, when set, is a folder where the task leaves its process id,
# so that a test can kill it.
set -eu
if [ -n "${TILES_PIDS:-}" ]; then echo $$ > "$TILES_PIDS/task-${SLURM_ARRAY_TASK_ID:-0}.pid"; fi
exec "$@"
