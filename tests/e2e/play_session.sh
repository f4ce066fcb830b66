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
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  echo "--- stdout"; cat "$work/stdout.log" 2>/dev/null || true
  echo "--- stderr"; cat "$work/stderr.log" 2>/dev/null || true
  exit 1
}

cp -r "$source_dir/media" "$work/media"
rm -f "$work/media/poon.txt"
# An old-style file: the list screen rewrites it in the game's own format.
printf 'zed 1500\r\namy\t900\r\n' > "$work/media/poon.txt"

cd "$work"

# The virtual X server here now and then refuses a connection outright (a retry gets
# through), so every X client call is retried a few times.
retry() {
  local attempt
  for attempt in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

start_game() {
  "$binary" > stdout.log 2> stderr.log &
  pid=$!
  window=
  for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Here be hoplings\.\.\.$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      pid=
      return 1
    fi
    sleep 0.2
  done
  fail "no window captioned 'Here be hoplings...' within 30 s"
}

window=
for attempt in 1 2 3; do
  start_game && break
  # Only a refused display connection earns another start.
  grep -q '^FAIL) Could not open the game window' stderr.log || fail "the game exited during start-up"
done
[ -n "$window" ] || fail "the display refused the game three times"

key() {
  retry xdotool windowfocus --sync "$window" 2>/dev/null || true
  retry xdotool key --delay 150 "$@"
  sleep 0.4
}

shot() {
  retry sh -c "xwd -id $window -silent | convert xwd:- '$out_dir/$1.png'"
  local mean
  mean=$(convert "$out_dir/$1.png" -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "screenshot $1 is blank (mean $mean)"
}

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

for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "the game did not quit on Escape"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"

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
