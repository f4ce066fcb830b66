#!/usr/bin/env bash
# Plays the real game the way a person would: starts the built binary in a scratch working
# directory holding a copy of the media, drives it with xdotool through the menu, the
# information page, the high-score list and a short game, and checks what it leaves behind.
#
# Usage: play_session.sh BINARY SOURCE_DIR OUTPUT_DIR   (needs an X display: DISPLAY)
set -euo pipefail

binary=$1
source_dir=$2
out_dir=$3
mkdir -p "$out_dir"

work=$(mktemp -d /tmp/pyrokettle-e2e-XXXXXX)
# shellcheck source=session.sh
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"

cp -r "$source_dir/media" "$work/media"
rm -f "$work/media/poon.txt"
# An old-style file: the list screen rewrites it in the game's own format.
printf 'zed 1500\r\namy\t900\r\n' > "$work/media/poon.txt"

start_game

sleep 1
shot e2e-menu

key Down Return            # Information
shot e2e-info
key Return                 # back to the menu, item 1 still highlighted
key Down Return            # High scores
shot e2e-highscores
key Return                 # back to the menu: the table is saved
key Up Up Return           # Start game

retry xdotool windowfocus --sync "$window" 2>/dev/null || true
retry xdotool keydown space
sleep 1.5
shot e2e-play-high
retry xdotool keyup space
sleep 0.8
shot e2e-play
key Escape

finish_game

grep -qx 'Loaded 24 sprites' stdout.log || fail "sprites not all loaded"
grep -qx 'Sorry, sprite ./media/sprites/24.png is missing' stderr.log || fail "no end-of-sprites line"
grep -qx './media/sound/7.wav is missing' stderr.log || fail "no end-of-sounds line"
grep -q '^PASS) Startup sequence completed in [0-9]* ms using ./media/font.png, ./media/font.fnt$' stdout.log \
  || fail "font did not load"
grep -qx 'INFO) Emptying bitmap font' stdout.log || fail "font not released at shut-down"
if grep -E '^(FAIL|WARN)' stderr.log | grep -v '^WARN) Detected blank line\.$'; then
  fail "unexpected failures or warnings"
fi
expected=$'zed   1500\namy   900'
[ "$(cat media/poon.txt)" = "$expected" ] || fail "high-score file not saved as expected: $(cat media/poon.txt)"

echo "play session passed; screenshots in $out_dir"
