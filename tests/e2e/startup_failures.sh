#!/usr/bin/env bash
# Start-ups that stop, with exit status 1: a music track that does not open (one error line,
# no font, no main loop), and no display at all (one FAIL line, nothing on the terminal).
# Usage: startup_failures.sh BINARY SOURCE_DIR OUTPUT_DIR   (needs an X display: DISPLAY)
set -uo pipefail
binary=$1
work=$(mktemp -d /tmp/pyrokettle-start-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
cp -r "$2/media" "$work/media"
rm -f "$work/media/sound/INDS_08.mid" "$work/media/poon.txt"
cd "$work" || exit 1

status=0
timeout 60 "$binary" > stdout.log 2> stderr.log || status=$?
[ "$status" -eq 1 ] || fail "exit status $status with a missing track"
[ "$(grep -cx 'Hoplings: Error. Error: Could not open MCI device.' stderr.log)" -eq 1 ] ||
  fail "expected the track error exactly once"
grep -q 'bitmap font' stdout.log && fail "the font was loaded"

status=0
env -u DISPLAY -u SDL_VIDEODRIVER timeout 20 "$binary" > stdout.log 2> stderr.log || status=$?
[ "$status" -eq 1 ] || fail "exit status $status without a display"
[ "$(wc -l < stderr.log)" -eq 1 ] && grep -q '^FAIL) Could not open the game window: ' stderr.log &&
  [ ! -s stdout.log ] || fail "expected one FAIL line and nothing else without a display"
echo "both start-ups stopped cleanly"
