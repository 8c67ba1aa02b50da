#!/usr/bin/env bash
# Installs every Debian package MAROVI needs to build, run, test and package;
# with --docs also what scripts/docs.sh needs.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libtomlplusplus-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  clang libclang-rt-14-dev
  xvfb xauth
  parallel
  pybind11-dev python3-dev python3-numpy python3-pytest python3-pandas python3-matplotlib
  desktop-file-utils
  r-base-core
)
# The images of the user guide (scripts/docs.sh): its figures are drawn in R and pandas.
if [ "${1:-}" = "--docs" ]; then packages+=(r-base-core python3-matplotlib pngquant); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
