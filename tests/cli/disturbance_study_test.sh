#!/usr/bin/env bash
# The disturbance study of examples/ on a small grid with two replicates: both scripts
# draw both figures. Skipped (77) where R or pandas with matplotlib is missing.
set -euo pipefail
cli="$1"
root="$2"
command -v Rscript > /dev/null || { echo "no Rscript"; exit 77; }
python=""
for p in python3 /usr/bin/python3; do
  if "$p" -c "import pandas, matplotlib" 2> /dev/null; then python="$p"; break; fi
done
[ -n "$python" ] || { echo "no pandas and matplotlib"; exit 77; }

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
MAROVI_CLI="$cli" PYTHON="$python" bash "$root/examples/disturbance-study/run.sh" "$out" 20x20 2 30
runs=$(cut -d, -f1 "$out/table.csv" | tail -n +2 | sort -u | wc -l)
[ "$runs" -eq 6 ] || { echo "expected 6 runs, the table has $runs"; exit 1; }
for figure in diversity_R patches_R diversity_pandas patches_pandas; do
  [ "$(head -c 4 "$out/$figure.png" | tail -c 3)" = "PNG" ] || { echo "$figure.png is missing or no PNG"; exit 1; }
done
echo "all four figures written"
