#!/usr/bin/env bash
# Without a display the game must say why and stop at once, not run blind.
# Usage: no_display.sh BINARY
set -euo pipefail
work=$(mktemp -d /tmp/pyrokettle-nodisplay-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
env -u DISPLAY -u SDL_VIDEODRIVER timeout 20 "$1" > stdout.log 2> stderr.log || status=$?
[ "$status" -eq 1 ] || { echo "exit status $status"; cat stderr.log; exit 1; }
[ "$(grep -c '^FAIL) ' stderr.log)" -eq 1 ] || { echo "expected one FAIL line:"; cat stderr.log; exit 1; }
[ ! -s stdout.log ] || { echo "text on standard output:"; cat stdout.log; exit 1; }
echo "no-display start-up stopped cleanly: $(cat stderr.log)"
