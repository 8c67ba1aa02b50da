#!/usr/bin/env bash
# A MAROVI parameter sweep in N shares with GNU parallel (on one machine, or on several
# with parallel's --sshlogin), then the shares joined into one table:
#
#   bash scripts/sweep_parallel.sh PLAN.toml N TABLE.csv
#
# It is this one-liner (MAROVI_CLI stands for marovi-cli):
#
#   parallel --will-cite marovi-cli sweep PLAN.toml --part {}/N --jobs 1 --quiet --out TABLE.csv.part{}.csv ::: $(seq N) \
#     && marovi-cli merge TABLE.csv.part*.csv --out TABLE.csv
#
# Interrupted, the same command continues: every share skips the runs its table holds.
set -euo pipefail
plan=${1:?usage: sweep_parallel.sh PLAN.toml N TABLE.csv}
n=${2:?usage: sweep_parallel.sh PLAN.toml N TABLE.csv}
out=${3:?usage: sweep_parallel.sh PLAN.toml N TABLE.csv}
cli=${MAROVI_CLI:-marovi-cli}
parallel --will-cite "$cli" sweep "$plan" --part {}/"$n" --jobs 1 --quiet --out "$out".part{}.csv ::: $(seq "$n") \
  && "$cli" merge "$out".part*.csv --out "$out"
