#!/usr/bin/env bash
# The man page of marovi-cli, made from the program's own help texts, so that it lists every
# command and option the program has.
#   bash packaging/manpage.sh MAROVI-CLI VERSION OUT.1
set -euo pipefail
cli=$1 version=$2 out=$3

help() { (exec -a marovi-cli "$cli" "$@" --help); }

# One help text as man page markup: the "Usage" line, the option lists as tagged
# paragraphs, everything else as text. Backslashes, hyphens of option names and lines that
# begin with a dot are escaped for troff.
markup() {
  awk '
    function esc(s) { gsub(/\\/, "\\e", s); sub(/^[.'\'']/, "\\\\\\&&", s); return s }
    function opt(s) { s = esc(s); gsub(/-/, "\\-", s); return s }
    NR == 1 { print esc($0); next }
    /^Usage: / { sub(/^Usage: /, ""); print ".PP"; print "\\fBUsage:\\fR " opt($0); next }
    /^[A-Z][A-Za-z ]*:$/ { print ".PP"; print "\\fB" $0 "\\fR"; next }
    /^  [^ ]/ {
      line = substr($0, 3)
      if (match(line, /  +/)) { name = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH) }
      else { name = line; text = "" }
      print ".TP"; print "\\fB" opt(name) "\\fR"
      if (text != "") print esc(text)
      next
    }
    /^     +[^ ]/ { sub(/^ +/, ""); print esc($0); next }
    /^$/ { next }
    { print ".PP"; print esc($0) }
  '
}

commands=$(help | awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }')
[ -n "$commands" ] || { echo "manpage.sh: $cli lists no commands" >&2; exit 1; }

{
  echo ".TH MAROVI-CLI 1 \"\" \"MAROVI $version\" \"User Commands\""
  echo ".SH NAME"
  echo "marovi-cli \\- MAROVI headless runner and analysis front end"
  echo ".SH SYNOPSIS"
  echo ".B marovi-cli"
  echo ".I COMMAND"
  echo "[\\fIOPTIONS\\fR] [\\fIFILES\\fR]"
  echo ".SH DESCRIPTION"
  echo "MAROVI simulates communities of sessile organisms individual by individual on a grid of"
  echo "cells. \\fBmarovi-cli\\fR runs its simulations and analyses without windows: it starts,"
  echo "continues and saves simulations in the files of the desktop program \\fBmarovi\\fR(1),"
  echo "prints what the analysis windows show, and runs parameter sweeps into one table."
  echo "Every file it writes gets a side file FILE.provenance.txt naming the program, the"
  echo "command line, the seed and the parameters."
  echo ".SH COMMANDS"
  for c in $commands; do
    echo ".SS $c"
    help "$c" | markup
  done
  echo ".SH EXIT STATUS"
  echo "0 on success; 1 with a message on standard error when a file cannot be read or"
  echo "written or an option is out of range (no partial file is left); a number from 100 up for an"
  echo "option that cannot be parsed."
  echo ".SH SEE ALSO"
  echo ".BR marovi (1)."
  echo "The user guide, installed in /usr/share/doc/marovi, explains every command with"
  echo "examples; the examples themselves are in /usr/share/marovi/examples."
} >"$out"
