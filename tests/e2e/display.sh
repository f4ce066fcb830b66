#!/usr/bin/env bash
# On a 1920x1080 desktop of its own with a window manager, on whichever SDL 1.2 is loaded: the
# menu at 1x, letterboxed in a 1000x600 window and fullscreen; M mutes; the choices come back,
# lines not understood only warn, --fullscreen overrides. Args: BINARY SOURCE_DIR OUTPUT_DIR
set -euo pipefail
binary=$1 out_dir=$3
work=$(mktemp -d /tmp/pyrokettle-display-XXXXXX)
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
cp -r "$2/media" "$work/media"
rm -f "$work/media/settings"
shows() { # NAME -root|"-id WINDOW" WxH+X+Y: the menu's backdrop scaled into it, black around
  local w h x y
  IFS='x+' read -r w h x y <<< "$3"
  xwd -silent $2 | convert xwd:- "$out_dir/$1.png" && [ "$(convert "$out_dir/$1.png" -fill black \
    -draw "rectangle $x,$y,$((x + w - 1)),$((y + h - 1))" -format '%[max]' info:)" = 0 ] &&
    convert "$out_dir/$1.png" -crop "$3" +repage -resize '800x600!' media/sprites/18.png \
      -metric RMSE -compare -format '%[distortion]' info: | awk '{ exit !($1 < 0.1) }'
}
sound() { # -gt: some sound, -eq: silence, in the last 64 KiB of the capture
  [ "$(stat -c %s audio.raw)" -ge 65536 ] &&
    [ "$(tail -c 65536 audio.raw | tr -d '\0' | wc -c)" "$1" 0 ]
}

Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset 3> "$work/display" 2> /dev/null & helpers=$!
waitfor "no X server" test -s "$work/display"
export DISPLAY=:$(cat "$work/display") SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=audio.raw
openbox > /dev/null 2>&1 & helpers="$helpers $!"
waitfor "no window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

start_game
waitfor "the first window is not the menu at 1x" shows display-menu "-id $window" 800x600+0+0
waitfor "no sound" sound -gt
key m
waitfor "M did not silence the game" sound -eq
key m
waitfor "M again did not bring the sound back" sound -gt
for size in 1x1 10000x10000 1000x600; do # the smallest and a huge one must do no harm
  retry xdotool windowsize "$window" ${size/x/ }
  waitfor "no window of $size" grep -qx "window = $size" media/settings
done
waitfor "the resized window is not letterboxed" shows display-resized "-id $window" 800x600+100+0
key alt+Return # no game started by that Enter: the menu shows
waitfor "fullscreen is not letterboxed" shows display-full -root 1440x1080+240+0
key m Escape
finish_game
[ "$(cat media/settings)" = $'fullscreen = yes\nwindow = 1000x600\nmuted = yes' ] ||
  fail "choices not kept: $(cat media/settings)"

printf '\0\377 damaged\nmuted = loud\n' >> media/settings
start_game
waitfor "the next start is not fullscreen" shows display-again -root 1440x1080+240+0
waitfor "the next start is not muted" sound -eq
key F11
waitfor "back in the window, it is not letterboxed" shows display-back "-id $window" 800x600+100+0
key Escape
finish_game
[ "$(grep '^WARN)' stderr.log | grep -vx 'WARN) Detected blank line.')" = \
  'WARN) Some lines of ./media/settings were not understood and are ignored' ] || fail "warnings"

cp media/settings before
start_game --fullscreen
waitfor "--fullscreen did not override the window" shows display-override -root 1440x1080+240+0
key Escape
finish_game
cmp -s before media/settings || fail "a start that changed no choice rewrote the settings"
