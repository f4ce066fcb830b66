#!/usr/bin/env bash
# The real game: Alt+Enter and F11 toggle fullscreen (or warn once) and leave a working game;
# the left mouse button flies; P freezes the game, P resumes it. Args: BINARY SOURCE_DIR OUTPUT_DIR
set -euo pipefail
binary=$1 source_dir=$2 out_dir=$3
work=$(mktemp -d /tmp/pyrokettle-feel-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
cp -r "$source_dir/media" "$work/media"
differing() { # pixels that differ between two screenshots (in the region $3 of both if given)
  compare -metric AE ${3:+-extract "$3"} "$out_dir/$1.png" "$out_dir/$2.png" null: 2>&1 || true; }

start_game
sleep 1; shot feel-menu
key alt+Return $(printf 'F11 %.0s' {1..20}) # fullscreen, and no game started by that Enter
grep -qx 'WARN) Could not switch to fullscreen: not supported here' stderr.log || { # fullscreen
  retry sh -c "xwd -root -silent | convert xwd:- -gravity center -crop 800x600+0+0 '$out_dir/feel-full.png'"
  [ "$(differing feel-menu feel-full)" = 0 ] || fail "fullscreen does not show the menu as it was"; }
key F11
shot feel-window
[ "$(differing feel-menu feel-window)" = 0 ] || fail "the menu changed across the toggles"

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
[ "$(grep -c '^WARN) Could not switch' stderr.log)" -le 1 ] || fail "the refusal was repeated"
