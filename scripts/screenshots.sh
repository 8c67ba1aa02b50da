#!/usr/bin/env bash
# Screenshots of every window of the desktop program under a virtual X server, at
# 1600 x 1000 and at 1024 x 768, on the default scenario with the standard disturbance
# after 300 steps.
#   bash scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} out=${2:-screenshots}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/src/cli/marovi-cli" new --seed 7 --steps 1 --out "$work/shown.mgf" >/dev/null
for size in 1600x1000 1024x768; do
  xvfb-run -a -s "-screen 0 ${size}x24" "$build/tools/marovi-screenshots" "$work/shown.mgf" "$out/$size"
done
