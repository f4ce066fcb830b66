#!/usr/bin/env bash
# A music track that does not open stops start-up: one error line, no font, no main loop,
# and the process ends with status 1.
# Usage: missing_track.sh BINARY SOURCE_DIR   (needs an X display: DISPLAY)
set -euo pipefail
work=$(mktemp -d /tmp/pyrokettle-missing-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$2/media" "$work/media"
rm -f "$work/media/sound/INDS_08.mid" "$work/media/poon.txt"
cd "$work"

for attempt in 1 2 3; do
  status=0
  timeout 60 "$1" > stdout.log 2> stderr.log || status=$?
  # The virtual X server here sometimes refuses a connection; only that earns a retry.
  grep -q '^FAIL) Could not open the game window' stderr.log || break
done

show() { echo "--- stdout"; cat stdout.log; echo "--- stderr"; cat stderr.log; }
[ "$status" -eq 1 ] || { echo "exit status $status"; show; exit 1; }
[ "$(grep -cx 'Hoplings: Error. Error: Could not open MCI device.' stderr.log)" -eq 1 ] \
  || { echo "expected the track error exactly once"; show; exit 1; }
if grep -q 'bitmap font' stdout.log; then echo "the font was loaded"; show; exit 1; fi
echo "start-up stopped at the missing track and the game exited 1"
