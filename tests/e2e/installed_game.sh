#!/usr/bin/env bash
# The installed game, started without media around and with XDG_DATA_HOME in a scratch
# directory: after a game of low hops the name typed lands in the per-user score file, and
# neither the installed data nor the repository's media/ change. Then the validators.
# Usage: installed_game.sh BUILD_DIR BINDIR SOURCE_DIR OUTPUT_DIR   (needs DISPLAY)
set -euo pipefail
out_dir=$4
work=$(mktemp -d /tmp/pyrokettle-installed-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"

fingerprint() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }
cmake --install "$1" --prefix "$work/prefix" > /dev/null
binary=$work/prefix/$2/pyrokettle
"$binary" --version | grep -qx 'pyrokettle [0-9]*\.[0-9]*\.[0-9]*' || fail "no version"
# The installed demo replays as recorded; --replay without its file is refused.
"$binary" --verify "$work"/prefix/share/*pyrokettle/media/demo.replay | grep -q '^Final Score: ' ||
  fail "the installed demo does not verify"
status=0
"$binary" --replay 2> "$work/refused.log" || status=$?
[ "$status" -eq 2 ] && grep -qx "pyrokettle: option '--replay' needs a recording file" "$work/refused.log" ||
  fail "--replay without a file was not refused (status $status)"
before=$(fingerprint "$3/media"; fingerprint "$work/prefix/share")
export XDG_DATA_HOME=$work/user
scores=$XDG_DATA_HOME/pyrokettle/poon.txt

start_game
sleep 1
shot e2e-installed-menu
key Return
# The name typed after each hop counts once the game is over; while playing it does nothing.
for _ in $(seq 90); do
  [ -f "$scores" ] && break
  retry xdotool keydown space
  sleep 0.15
  retry xdotool keyup space
  key t e s t e r 1 Return
done
key Escape
finish_game

[ -f "$scores" ] || fail "no score in $scores after 90 hops"
grep -Eqx '[a-z0-9]+   -?[0-9]+' "$scores" && [ "$(wc -l < "$scores")" -eq 1 ] \
  || fail "unexpected score file: $(cat "$scores")"
grep -qx 'Sorry, sprite ./media/sprites/24.png is missing' stderr.log || fail "media not found"
grep -E '^(FAIL|WARN)' stderr.log | grep -v '^WARN) Detected blank line\.$' && fail "warnings"
[ "$(fingerprint "$3/media"; fingerprint "$work/prefix/share")" = "$before" ] \
  || fail "the repository's media/ or the installed data changed"
desktop-file-validate "$work/prefix/share/applications/pyrokettle.desktop" || fail "desktop file"
appstreamcli validate --no-net "$work"/prefix/share/metainfo/*.xml > /dev/null || fail "metainfo"
echo "installed game passed: $(cat "$scores")"
