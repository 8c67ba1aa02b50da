#!/usr/bin/env bash
# The user guide (docs/*.md and README.md) against the program:
# - every link to a file of the repository and every image exists, every #anchor names a
#   heading of its page, and every image in docs/images is shown somewhere;
# - every code block of R, Python or TOML is one of the files in examples/ as it stands;
# - every command runs: each line of a ```sh block must succeed (a Slurm job array,
#   "sbatch --array=1-N SCRIPT ARGS", runs as its N tasks one after the other), and in
#   ```console blocks each "$ marovi-cli ..." line must print exactly the lines that follow
#   it. Each page runs in a scratch directory of its own, top to bottom, with the examples
#   and scripts of the repository beside it and the runner on the PATH. (```bash blocks are
#   shown, not run: installing, building, starting the desktop program, R and Python.)
#
#   guide_test.sh MAROVI-CLI SOURCE_DIR
set -uo pipefail
cli=$(realpath "$1")
root=$(realpath "$2")
export LC_ALL=C.UTF-8
passed=0 failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }
pass() { passed=$((passed + 1)); }

pages=("$root/README.md" "$root"/docs/*.md)

# The text of a page outside its code blocks.
prose() { awk '/^```/ { code = !code; next } !code' "$1"; }

# GitHub's anchor of a heading: lower case, punctuation dropped, blanks as hyphens.
anchors() {
  prose "$1" | sed -n 's/^#\{1,6\} \+//p' | sed 's/[`*]//g' | tr '[:upper:]' '[:lower:]' |
    sed 's/[^[:alnum:] _-]//g; s/ /-/g'
}

# ---- links and images ----
shown=""
for page in "${pages[@]}"; do
  dir=$(dirname "$page")
  while IFS= read -r link; do
    target=${link%%#*}
    anchor=""
    [[ $link == *"#"* ]] && anchor=${link#*#}
    case $target in http://* | https://* | mailto:*) continue ;; esac
    file=$page
    [ -n "$target" ] && file=$dir/$target
    if [ ! -e "$file" ]; then
      fail "${page#"$root"/}: link to missing $target"
      continue
    fi
    shown+="$(realpath "$file")"$'\n'
    if [ -n "$anchor" ] && ! anchors "$file" | grep -qx -- "$anchor"; then
      fail "${page#"$root"/}: no heading for #$anchor in ${file#"$root"/}"
      continue
    fi
    pass
  done < <(prose "$page" | grep -o '\](\([^) ]*\))' | sed 's/^](//; s/)$//')
done
for image in "$root"/docs/images/*; do
  [ -e "$image" ] || continue
  grep -qx -- "$(realpath "$image")" <<<"$shown" || fail "docs/images/${image##*/} is shown on no page"
done

# ---- code blocks: the example scripts, and the runner commands ----
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"
ln -s "$cli" "$scratch/bin/marovi-cli"
export PATH="$scratch/bin:$PATH"

# Splits a page into numbered blocks: $scratch/blocks/NNN.LANG
split_blocks() {
  rm -rf "$scratch/blocks"
  mkdir -p "$scratch/blocks"
  awk -v out="$scratch/blocks" '
    /^```/ && !code { code = 1; n++; lang = substr($0, 4); file = sprintf("%s/%03d.%s", out, n, lang == "" ? "text" : lang); printf "" > file; next }
    /^```/ && code { code = 0; close(file); next }
    code { print > file }' "$1"
}

# Logical lines: a trailing backslash continues a line.
joined() { sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$1"; }

# A Slurm job array as its tasks, one after the other.
sbatch_array() {
  local range=${1#--array=} script=$2
  shift 2
  for ((task = ${range%-*}; task <= ${range#*-}; task++)); do
    SLURM_ARRAY_TASK_ID=$task SLURM_ARRAY_TASK_MIN=${range%-*} SLURM_ARRAY_TASK_COUNT=$((${range#*-} - ${range%-*} + 1)) \
      bash "$script" "$@" || return 1
  done
}

run_sh() {
  local block=$1 where=$2
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    [[ $line == sbatch\ --array=* ]] && line="sbatch_array ${line#sbatch }"
    if output=$(cd "$where" && eval "$line" 2>&1 </dev/null); then pass
    else fail "$page_name: $line"$'\n'"$output"; fi
  done < <(joined "$block")
}

run_console() {
  local block=$1 where=$2 command="" expected="" have=0
  check() {
    [ $have -eq 1 ] || return 0
    local actual
    actual=$(cd "$where" && bash -c "$command" 2>&1 </dev/null | tr -d '\r')
    if [ "$actual" == "$expected" ]; then pass
    else fail "$page_name: \$ $command"$'\n'"expected:"$'\n'"$expected"$'\n'"printed:"$'\n'"$actual"; fi
  }
  while IFS= read -r line; do
    if [[ $line == '$ '* ]]; then
      check
      command=${line#'$ '} expected="" have=1
      [[ $command == marovi-cli* ]] || fail "$page_name: console line not of the runner: $command"
    else
      expected+="${expected:+$'\n'}$line"
    fi
  done < <(joined "$block")
  check
}

for page in "${pages[@]}"; do
  page_name=${page#"$root"/}
  work="$scratch/${page_name//\//_}"
  mkdir -p "$work"
  ln -s "$root/examples" "$work/examples"
  ln -s "$root/scripts" "$work/scripts"
  split_blocks "$page"
  for block in "$scratch"/blocks/*; do
    [ -e "$block" ] || continue
    case $block in
      *.sh) run_sh "$block" "$work" ;;
      *.console) run_console "$block" "$work" ;;
      *.r | *.python | *.toml)
        same=0
        for example in "$root"/examples/* "$root"/examples/*/*; do cmp -s "$block" "$example" && same=1; done
        if [ $same -eq 1 ]; then pass; else fail "$page_name: a code block differs from every file in examples/"; fi ;;
    esac
  done
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
