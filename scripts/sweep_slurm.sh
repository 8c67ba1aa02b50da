#!/usr/bin/env bash
# A MAROVI parameter sweep as a Slurm job array: every array task runs its share of the
# plan's runs into its own table, and one command joins the tables afterwards.
#
#   sbatch --array=1-8 scripts/sweep_slurm.sh PLAN.toml results
#   # when all tasks have ended:
#   marovi-cli merge results/part_*.csv --out results.csv
#
# marovi-cli takes its share K/N from SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_MIN and
# SLURM_ARRAY_TASK_COUNT, so the array must be contiguous (1-8 or 0-7, no step). A task
# that was killed or timed out (Slurm's SIGTERM stops it cleanly; even SIGKILL loses no
# finished run) continues where it stopped when it runs again: resubmit the same array,
# e.g. `sbatch --array=3 ...`, and the finished runs are skipped.
# Set MAROVI_CLI to the runner if it is not on PATH.
#SBATCH --job-name=marovi-sweep
#SBATCH --cpus-per-task=4
#SBATCH --time=04:00:00
#SBATCH --output=marovi-sweep-%A_%a.log
set -euo pipefail
plan=${1:?usage: sbatch --array=1-N sweep_slurm.sh PLAN.toml OUTDIR}
outdir=${2:?usage: sbatch --array=1-N sweep_slurm.sh PLAN.toml OUTDIR}
mkdir -p "$outdir"
exec "${MAROVI_CLI:-marovi-cli}" sweep "$plan" --jobs "${SLURM_CPUS_PER_TASK:-1}" --quiet \
    --out "$outdir/part_${SLURM_ARRAY_TASK_ID}.csv"
