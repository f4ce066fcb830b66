#!/usr/bin/env bash
# The game with standard output closed, then standard error (`>&-`, `2>&-`): it still shows
# its window and quits on Escape with status 0, instead of hanging on its X connection.
set -euo pipefail
game=$1 out_dir=$3 work=$(mktemp -d /tmp/pyrokettle-closed-XXXXXX) binary=$work/closed
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
cp -r "$2/media" "$work/media" && mkdir -p "$out_dir"
for stream in 1 2; do
  printf '#!/bin/sh\nexec "%s" %s>&-\n' "$game" "$stream" > "$binary"
  chmod +x "$binary"
  start_game; sleep 1; shot "e2e-closed-stream-$stream"; key Escape; finish_game
done
echo "the game ran and quit with standard output closed, then with standard error closed"
