#!/usr/bin/env bash
# The real game: the left mouse button flies; a stopped process comes back paused; P freezes
# the game at little cost, P resumes it. Args: BINARY SOURCE_DIR OUTPUT_DIR
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

# A process stopped in flight (Ctrl+Z, a debugger, a sleeping laptop) comes back paused.
retry xdotool keydown space; sleep 1
kill -STOP "$pid"; shot feel-stopped; sleep 3; kill -CONT "$pid"; sleep 0.5
shot feel-stall; sleep 1; shot feel-stall-later; retry xdotool keyup space
[ "$(differing feel-stopped feel-stall 200x40+0+90)" -gt 100 ] || fail "the stalled game is not paused"
[ "$(differing feel-stall feel-stall-later)" = 0 ] || fail "the stalled game moved on"
key space # a fresh press of the fly button resumes

key p # pause: it stands still, and costs next to nothing
shot feel-paused
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
ticks=$(cpu_ticks); sleep 3; ticks=$(( $(cpu_ticks) - ticks ))
[ $((ticks * 100)) -lt $((10 * 3 * $(getconf CLK_TCK))) ] || fail "paused, it used $ticks ticks in 3 s"
shot feel-paused-later
[ "$(differing feel-paused feel-paused-later)" = 0 ] || fail "the paused game moved"
key p # resume
shot feel-resumed; sleep 1; shot feel-resumed-later
[ "$(differing feel-resumed feel-resumed-later)" != 0 ] || fail "the game did not resume"
key p Escape # Escape quits a paused game too
finish_game
