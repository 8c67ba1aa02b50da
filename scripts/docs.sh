#!/usr/bin/env bash
# Makes the images of the user guide again (docs/images) and the guide's worked example
# (examples/succession.mgf), from a fixed seed: the desktop program under a virtual X
# server builds the example through its editors, runs it and shows every window the guide
# explains (marovi-screenshots --docs); the sweep figures come from the runner's table of
# examples/sweep.toml, drawn by the guide's own R and pandas scripts, and the disturbance
# study's diversity figure from its own scripts on a 50 x 50 grid. Run it after a window
# changes, and commit what changed.
#   bash scripts/docs.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/setup.sh --docs
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target marovi-screenshots marovi-cli

root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/images"
# The tour saves its example: it runs in the scratch directory.
(cd "$work" && xvfb-run -a -s "-screen 0 1400x1000x24" "$root/$build/tools/marovi-screenshots" --docs images example.mgf \
  >/dev/null 2>tour.log) || { cat "$work/tour.log"; exit 1; }
# A control the tour no longer finds would leave an image that shows something else.
if grep -E '^(no button|no field|cannot write)' "$work/tour.log"; then exit 1; fi

# The sweep of the experiments chapter, and its figure in R and in pandas.
cli=$root/$build/src/cli/marovi-cli
(cd "$work" && "$cli" sweep "$root/examples/sweep.toml" --jobs 2 --quiet --out sweep.csv)
Rscript examples/sweep_figure.R "$work/sweep.csv" "$work/images/sweep-r.png"
python=python3
"$python" -c 'import pandas, matplotlib' 2>/dev/null || python=/usr/bin/python3
"$python" examples/sweep_figure.py "$work/sweep.csv" "$work/images/sweep-pandas.png"

# The disturbance study, smaller: 50 x 50 cells, three replicates, its 300 steps.
MAROVI_CLI=$cli PYTHON=$python bash examples/disturbance-study/run.sh "$work/study" 50x50 3 300 >/dev/null
cp "$work/study/diversity_R.png" "$work/images/disturbance-diversity.png"

# Fewer colours keep the repository small; the images look the same.
for image in "$work"/images/*.png; do
  pngquant --force --skip-if-larger --strip --quality 80-100 --output "$image" "$image" || true
done
rm -f docs/images/*.png
cp "$work"/images/*.png docs/images/
cp "$work/example.mgf" examples/succession.mgf
du -sh docs/images
