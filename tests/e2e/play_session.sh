#!/usr/bin/env bash
# The real game played the way a person would: started in a scratch working directory with a
# copy of the media, driven with xdotool through the menu, the information page, the
# high-score list and a flight, then run again over a hostile high-score file, over a
# directory standing in the file's place (standard output closed), with standard error
# closed, with output into pipes that close, a hang-up, options, and last, start-ups that
# stop: a missing track, no display.
# Usage: play_session.sh BINARY SOURCE_DIR OUTPUT_DIR   (needs an X display: DISPLAY)
set -uo pipefail
binary=$1
out_dir=$3
work=$(mktemp -d /tmp/pyrokettle-e2e-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
mkdir -p "$out_dir"
cp -r "$2/media" "$work/media"
rm -rf "$work/media/poon.txt"

expect_clean_log() { # but for the lines given
  if grep -E '^(FAIL|WARN)' "$work/stderr.log" | grep -vxF -e 'WARN) Detected blank line.' "${@/#/-e}"; then
    fail "unexpected failures or warnings"
  fi
}

# 1. A whole visit; an old-style score file is rewritten in the game's own format.
printf 'zed 1500\r\namy\t900\r\n' > "$work/media/poon.txt"
start_game
sleep 1
shot e2e-menu
key Down Return    # Information
shot e2e-info
key Return Down Return   # back to the menu on item 1, then High scores
shot e2e-highscores
key Return Up Up Return  # back (the table is saved), then Start game
sleep 1                  # Enter is not the jump key, but give any wrong jump time to land
shot e2e-play-ground
retry xdotool keydown space
sleep 1.5
shot e2e-play-high
retry xdotool keyup space
key Escape
finish_game
grep -qx 'Loaded 24 sprites' stdout.log || fail "sprites not all loaded"
grep -qx 'Sorry, sprite ./media/sprites/24.png is missing' stderr.log || fail "no end-of-sprites line"
grep -qx './media/sound/7.wav is missing' stderr.log || fail "no end-of-sounds line"
grep -q '^PASS) Startup sequence completed in [0-9]* ms using ./media/font.png, ./media/font.fnt$' stdout.log ||
  fail "font did not load"
grep -qx 'INFO) Emptying bitmap font' stdout.log || fail "font not released at shut-down"
expect_clean_log
[ "$(cat media/poon.txt)" = $'zed   1500\namy   900' ] || fail "score file not saved as expected: $(cat media/poon.txt)"
# Where the hopling stood on the ground, something else shows once space has been held.
for shot_name in ground high; do
  convert "$out_dir/e2e-play-$shot_name.png" -crop 64x64+133+472 +repage "$work/$shot_name.png"
done
moved=$(compare -metric AE "$work/ground.png" "$work/high.png" null: 2>&1)
[ "${moved%% *}" -gt 1000 ] 2>/dev/null || fail "the hopling did not leave the ground ($moved pixels changed)"

# 2. Valid entries, CR LF, a 10,000-character name, then a NaN that ends the reading: the
# first save keeps the whole file as a backup, and says so.
long_name=$(head -c 10000 /dev/zero | tr '\0' q)
{ printf 'amy 900\r\n%s   1234\nbob\t1500\neve nan\nzed 99\n' "$long_name"; head -c 2000 /dev/urandom; } > media/poon.txt
cp media/poon.txt hostile.txt
start_game
sleep 1
key Down Down Return
shot e2e-scores-hostile
key Return Escape
finish_game
expect_clean_log 'WARN) Some lines of ./media/poon.txt could not be read; the old file is kept as ./media/poon.txt.bak'
cmp -s hostile.txt media/poon.txt.bak || fail "the hand-made file was not kept whole"
[ "$(cat media/poon.txt)" = "$(printf 'bob   1500\n%s   1234\namy   900' "$long_name")" ] ||
  fail "the valid entries were not kept: $(head -c 300 media/poon.txt)"

# 3. A directory where the file should be: the save is refused and said so, nothing else.
# Standard output is closed: the game still runs and quits normally.
rm -f media/poon.txt && mkdir media/poon.txt
game=$binary binary=$work/closed
printf '#!/bin/sh\nexec "%s" >&-\n' "$game" > "$binary" && chmod +x "$binary"
start_game
sleep 1
key Down Down Return Return Escape
finish_game
[ -d media/poon.txt ] || fail "the directory in the file's place was replaced"
grep -qx 'WARN) Could not save high scores to ./media/poon.txt: Is a directory' stderr.log ||
  fail "the refused save was not reported"

# 4. Standard error closed; then output into pipes that close early. A quit is status 0.
printf '#!/bin/sh\nexec "%s" 2>&-\n' "$game" > "$binary"
start_game
shot e2e-closed-stderr
key Escape
finish_game
for reader in true "head -1"; do
  printf '#!/bin/bash\n"%s" | %s\nexit "${PIPESTATUS[0]}"\n' "$game" "$reader" > "$binary"
  start_game
  key Escape
  finish_game
done

# A hang-up (the terminal closed) quits like Escape, and the buffered output still comes out.
binary=$game
start_game
kill -HUP "$pid"
finish_game
grep -qx 'INFO) Emptying bitmap font' stdout.log || fail "the output was lost at the hang-up"

# Options: help and version answer; anything else is refused with status 2.
"$game" -h | grep -q '^Usage: pyrokettle' || fail "no usage from -h"
"$game" -v | grep -qx 'pyrokettle [0-9.]*' || fail "no version from -v"
for option in --helpx -x ''; do
  status=0
  "$game" -h "$option" > stdout.log 2> stderr.log || status=$?
  [ "$status" -eq 2 ] && [ ! -s stdout.log ] && [ "$(cat stderr.log)" = "pyrokettle: unknown option '$option'
Try 'pyrokettle --help'." ] || fail "option '$option' gave status $status"
done

# 5. Start-ups that stop, with exit status 1: a music track that does not open (one error
# line, no font), and no display at all (one FAIL line, nothing on the terminal).
rm -f media/sound/INDS_08.mid
status=0
timeout 60 "$game" > stdout.log 2> stderr.log || status=$?
[ "$status" -eq 1 ] || fail "exit status $status with a missing track"
[ "$(grep -cx 'Hoplings: Error. Error: Could not open MCI device.' stderr.log)" -eq 1 ] ||
  fail "expected the track error exactly once"
grep -q 'bitmap font' stdout.log && fail "the font was loaded"
status=0
env -u DISPLAY -u SDL_VIDEODRIVER timeout 20 "$game" > stdout.log 2> stderr.log || status=$?
[ "$status" -eq 1 ] || fail "exit status $status without a display"
[ "$(wc -l < stderr.log)" -eq 1 ] && grep -q '^FAIL) Could not open the game window: ' stderr.log &&
  [ ! -s stdout.log ] || fail "expected one FAIL line and nothing else without a display"
echo "play sessions passed; screenshots in $out_dir"
