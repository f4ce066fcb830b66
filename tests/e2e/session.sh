# Shared by the end-to-end scripts that drive the real game under X (source it after
# setting binary, out_dir and a scratch directory in work):
#   fail MESSAGE      print the message and both logs of the game, exit 1
#   start_game        run $binary in $work, logs in $work; sets pid and window
#   retry CMD...      run an X client command, again on failure (up to five times)
#   key KEYS...       focus the game's window and press the keys (xdotool names)
#   shot NAME         screenshot to $out_dir/NAME.png; fails when it is blank
#   finish_game       wait for the game to exit after Escape; fails unless status 0
# The EXIT trap kills a game still running and removes $work.

pid=
window=
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

# A busy Xvfb now and then refuses a connection; the game then stops at once with its
# display failure line, and is started again (three tries in all).
start_game() {
  cd "$work"
  local attempt
  for attempt in 1 2 3; do
    "$binary" > stdout.log 2> stderr.log &
    pid=$!
    window=
    for _ in $(seq 1 150); do
      window=$(xdotool search --name '^Here be hoplings\.\.\.$' 2>/dev/null | head -n 1 || true)
      [ -n "$window" ] && return 0
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && fail "no window captioned 'Here be hoplings...' within 30 s"
    wait "$pid" || true
    pid=
    grep -qE "^FAIL\) Could not open the game window: (Couldn't open X11 display|No available video device)" stderr.log \
      || fail "the game exited during start-up"
    echo "the X server refused the game's connection (try $attempt); starting it again"
    sleep 1
  done
  fail "the game could not open its window in three tries"
}

# The same refusals hit every X client, so each xdotool and xwd call gets a few tries.
retry() {
  local attempt
  for attempt in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

key() {
  retry xdotool windowfocus --sync "$window" 2>/dev/null || true
  retry xdotool key --delay 150 "$@"
  sleep 0.4
}

shot() {
  retry sh -c "xwd -id $window -silent | convert xwd:- '$out_dir/$1.png'" \
    || fail "no screenshot $1"
  local mean
  mean=$(convert "$out_dir/$1.png" -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "screenshot $1 is blank (mean $mean)"
}

finish_game() {
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && fail "the game did not quit on Escape"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status"
}
