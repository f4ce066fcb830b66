#!/usr/bin/env bash
# The real game with a hostile high-score file: starts the built binary in a scratch
# working directory holding a copy of the media and a prepared ./media/poon.txt, opens the
# high-score list, goes back to the menu (which saves the table) and quits with Escape.
# Two runs: a file of valid entries mixed with a 10,000-character name, a NaN and binary
# noise; and a directory standing where the file should be.
#
# Usage: score_file_session.sh BINARY SOURCE_DIR OUTPUT_DIR   (needs an X display: DISPLAY)
set -euo pipefail

binary=$1
source_dir=$2
out_dir=$3
mkdir -p "$out_dir"

work=$(mktemp -d /tmp/pyrokettle-scores-XXXXXX)
# shellcheck source=session.sh
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"

# Runs the game in $work, shows the high-score list (screenshot $1), returns to the menu
# and quits; fails unless it exits with status 0.
visit_high_scores() {
  start_game
  sleep 1
  key Down Down Return
  shot "$1"
  key Return
  key Escape
  finish_game
  grep -q '^PASS) Startup sequence completed' stdout.log || fail "start-up did not complete"
}

cp -r "$source_dir/media" "$work/media"
rm -rf "$work/media/poon.txt"

# 1. Valid entries, CR LF, a 10,000-character name, then a NaN that ends the reading;
# what follows it is never read.
long_name=$(head -c 10000 /dev/zero | tr '\0' q)
{
  printf 'amy 900\r\n%s   1234\nbob\t1500\n' "$long_name"
  printf 'eve nan\nzed 99\n'
  head -c 2000 /dev/urandom
} > "$work/media/poon.txt"
visit_high_scores e2e-scores-hostile
expected=$(printf 'bob   1500\n%s   1234\namy   900' "$long_name")
[ "$(cat "$work/media/poon.txt")" = "$expected" ] \
  || fail "the valid entries were not saved as expected: $(head -c 300 "$work/media/poon.txt")"
if grep -E '^(FAIL|WARN)' "$work/stderr.log" | grep -v '^WARN) Detected blank line\.$'; then
  fail "unexpected failures or warnings"
fi

# 2. A directory where the file should be: nothing to read, the save is refused and said
# so, the directory stays, and the game carries on and quits normally.
rm -f "$work/media/poon.txt"
mkdir "$work/media/poon.txt"
visit_high_scores e2e-scores-directory
[ -d "$work/media/poon.txt" ] || fail "the directory in the file's place was replaced"
grep -qx 'WARN) Could not save high scores to ./media/poon.txt: Is a directory' "$work/stderr.log" \
  || fail "the refused save was not reported"

echo "score-file sessions passed; screenshots in $out_dir"
