#!/usr/bin/env bash
# The real game: the left mouse button flies; P freezes the game, P resumes it.
# Args: BINARY SOURCE_DIR OUTPUT_DIR
set -euo pipefail
binary=$1 source_dir=$2 out_dir=$3
work=$(mktemp -d /tmp/pyrokettle-feel-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
cp -r "$source_dir/media" "$work/media"
differing() { # pixels that differ between two screenshots (in the region $3 of both if given)
  compare -metric AE ${3:+-extract "$3"} "$out_dir/$1.png" "$out_dir/$2.png" null: 2>&1 || true; }

start_game
sleep 1
key Return # Start game
shot feel-ground
retry xdotool mousemove --window "$window" 400 300 mousedown 1; sleep 1.2
shot feel-mouse; retry xdotool mouseup 1
# Above the player standing on the ground there is only the backdrop: a rise shows there.
[ "$(differing feel-ground feel-mouse 64x290+133+180)" -gt 500 ] || fail "the mouse did not fly"

key p # pause
shot feel-paused; sleep 1; shot feel-paused-later
[ "$(differing feel-paused feel-paused-later)" = 0 ] || fail "the paused game moved"
key p # resume
shot feel-resumed; sleep 1; shot feel-resumed-later
[ "$(differing feel-resumed feel-resumed-later)" != 0 ] || fail "the game did not resume"
key p Escape # Escape quits a paused game too
finish_game
