#!/usr/bin/env bash
# The guide's figure scripts (examples/sweep_figure.R and .py) on a shortened sweep of
# examples/sweep.toml: the table has every column they read, and R and pandas, where they
# are installed, draw a PNG image from it.
#   figures_test.sh MAROVI-CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1")
root=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
sed -e 's/^grid = .*/grid = "12x12"/' -e 's/^steps = .*/steps = 20/' "$root/examples/sweep.toml" >plan.toml
"$cli" sweep plan.toml --jobs 2 --quiet --out sweep.csv
passed=0
for column in step DispersalKernel species1.Fecundity diversity; do
  head -1 sweep.csv | tr ',' '\n' | grep -qx -- "$column" || { echo "FAILED: the table has no column $column"; exit 1; }
done
passed=$((passed + 1))

is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }
if command -v Rscript >/dev/null; then
  Rscript "$root/examples/sweep_figure.R" sweep.csv r.png
  is_png r.png || { echo "FAILED: sweep_figure.R drew no PNG"; exit 1; }
  passed=$((passed + 1))
else
  echo "R is not installed: sweep_figure.R not run"
fi
python=""
for p in python3 /usr/bin/python3; do
  if command -v "$p" >/dev/null && "$p" -c 'import pandas, matplotlib' 2>/dev/null; then python=$p; break; fi
done
if [ -n "$python" ]; then
  "$python" "$root/examples/sweep_figure.py" sweep.csv py.png
  is_png py.png || { echo "FAILED: sweep_figure.py drew no PNG"; exit 1; }
  passed=$((passed + 1))
else
  echo "pandas and matplotlib are not installed: sweep_figure.py not run"
fi
echo "$passed passed, 0 failed"
