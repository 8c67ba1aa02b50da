#!/usr/bin/env bash
# Builds the Debian package of a build directory and checks it as a lab would receive it:
# apt can install it with Debian's own packages, it holds the programs, the desktop entry
# with its icon and file type, the man pages and the examples, and the installed programs
# run (unpacked into a scratch root, so that the machine itself is left as it is).
#   bash tests/install/package_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
ok() { passed=$((passed + 1)); }
fail() { echo "FAILED: $*"; echo "$passed passed, 1 failed"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/marovi_*.deb)

# Its dependencies are Debian's runtime packages, which apt resolves.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6charts6 libqt6svg6 libtomlplusplus3; do
  grep -q "\b$p\b" <<<"$depends" || fail "the package does not depend on $p: $depends"
done
ok
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install $deb"; }
ok

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in bin/marovi bin/marovi-cli share/applications/marovi.desktop share/icons/hicolor/scalable/apps/marovi.svg \
  share/mime/packages/marovi.xml share/man/man1/marovi.1.gz share/man/man1/marovi-cli.1.gz \
  share/marovi/examples/sweep.toml share/marovi/examples/succession.mgf share/marovi/scripts/sweep_slurm.sh \
  share/doc/marovi/README.md; do
  [ -e "$root/usr/$f" ] || fail "the package has no /usr/$f"
done
ok

# The desktop entry, strictly: any remark of the validator fails.
remarks=$(desktop-file-validate "$root/usr/share/applications/marovi.desktop" 2>&1) || fail "desktop entry: $remarks"
[ -z "$remarks" ] || fail "desktop entry: $remarks"
grep -qx 'Exec=marovi %f' "$root/usr/share/applications/marovi.desktop" || fail "the desktop entry does not start marovi"
ok

# The installed runner: a short simulation, and one from the installed example.
cli=$root/usr/bin/marovi-cli
(cd "$work" && "$cli" new --grid 20x20 --seed 1 --steps 10 --quiet --out run.mgf && "$cli" info run.mgf) >"$work/run.log" 2>&1 ||
  { cat "$work/run.log"; fail "the installed marovi-cli"; }
grep -q '^time step: 10' "$work/run.log" || fail "the installed marovi-cli did not run 10 steps"
(cd "$work" && "$cli" new "$root/usr/share/marovi/examples/succession.mgf" --steps 5 --quiet --out example.mgf) ||
  fail "the installed example"
ok
# The installed disturbance study, tiny, with the installed runner found on the PATH.
(cd "$work" && PATH="$root/usr/bin:$PATH" bash "$root/usr/share/marovi/examples/disturbance-study/run.sh" study 12x12 1 5) \
  >"$work/study.log" 2>&1 || { cat "$work/study.log"; fail "the installed disturbance study"; }
[ -s "$work/study/table.csv" ] || fail "the installed disturbance study wrote no table"
ok

# The Python module, where the build has one, imports from the package.
module=$(find "$root" -name 'marovi.cpython-*.so' | head -1)
if [ -n "$module" ]; then
  PYTHONPATH=$(dirname "$module") /usr/bin/python3 -c 'import marovi; marovi.Simulation(seed=1, grid=(8, 8)).step(2)' ||
    fail "the packaged Python module"
  ok
fi

# The man page lists every command the runner has, and troff reads it without a warning.
page=$(gzip -dc "$root/usr/share/man/man1/marovi-cli.1.gz")
for command in $("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }'); do
  grep -qx "\.SS $command" <<<"$page" || fail "the man page lacks the command $command"
done
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z <<<"$page" 2>&1)
  [ -z "$warnings" ] || fail "man page: $warnings"
fi
ok

# The installed desktop program starts and keeps running until it is stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$root/usr/bin/marovi" >"$work/marovi.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/marovi.log"; fail "the installed marovi ended with status $status"; }
ok

echo "$passed passed, 0 failed"
