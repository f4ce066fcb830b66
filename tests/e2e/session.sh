# Shared by the end-to-end scripts that drive the real game under X. Source it after setting
# binary, out_dir and a scratch directory in work:
#   fail MESSAGE      print the message and both logs of the game, exit 1
#   start_game [ARG]  run $binary [ARG] in $work, logs in $work; sets pid and window
#   retry CMD...      run an X client command, again on failure (up to three times)
#   waitfor MSG CMD...  run CMD until it succeeds; after 30 s, fail with MSG
#   key KEYS...       focus the game's window and press the keys (xdotool names)
#   shot NAME         screenshot to $out_dir/NAME.png; fails when it is blank
#   finish_game       wait for the game to exit after Escape; fails unless status 0
# The EXIT trap ends a game still running and the processes in $helpers, and removes $work.
# Leak checking is left to the unit tests: the game runs here without it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
pid=
window=
waitfor() { # MESSAGE COMMAND...: until the command succeeds, for 30 s at most
  local deadline=$((SECONDS + 30))
  until "${@:2}" 2>/dev/null; do [ "$SECONDS" -lt "$deadline" ] || fail "$1"; sleep 0.2; done
}
helpers= # more processes of the script's own, ended at exit
# A game left running is ended and waited for (woken first, if stopped): its window must be
# gone before the next script looks for one.
trap '[ -n "$pid" ] && { kill "$pid"; kill -CONT "$pid"; wait "$pid"; } 2>/dev/null
      kill $helpers 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  echo "--- stdout"; cat "$work/stdout.log" 2>/dev/null
  echo "--- stderr"; cat "$work/stderr.log" 2>/dev/null
  exit 1
}

start_game() {
  cd "$work" || fail "no scratch directory"
  "$binary" "$@" > stdout.log 2> stderr.log &
  pid=$!
  for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Here be hoplings\.\.\.$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the game exited during start-up"
    sleep 0.2
  done
  fail "no window captioned 'Here be hoplings...' within 30 s"
}

retry() {
  "$@" || { sleep 0.3; "$@"; } || { sleep 1; "$@"; }
}

key() {
  retry xdotool windowfocus --sync "$window" 2>/dev/null || true
  retry xdotool key --delay 150 "$@"
  sleep 0.4
}

shot() {
  retry sh -c "xwd -id $window -silent | convert xwd:- '$out_dir/$1.png'" || fail "no screenshot $1"
  local mean
  [ "$(identify -format %wx%h "$out_dir/$1.png")" = 800x600 ] || fail "screenshot $1 is not 800x600"
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
