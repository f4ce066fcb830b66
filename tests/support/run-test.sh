#!/usr/bin/env bash
# The launcher of every test. LeakSanitizer's thread-stopping tracer now and then crashes at
# exit on this kind of virtual machine ("Tracer caught signal 11", then "LeakSanitizer has
# encountered a fatal error"), after the test itself has finished: such a run, and only
# such a run, is tried again (three runs at most), saying so. Assertions and sanitizer
# reports always fail.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for attempt in 1 2 3; do
  "$@" > "$log" 2>&1
  status=$?
  cat "$log"
  if [ "$status" -eq 0 ] || grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|\[  FAILED  \]|^FAILED: ' "$log" ||
     ! grep -q 'LeakSanitizer has encountered a fatal error' "$log"; then
    exit "$status"
  fi
  echo "(LeakSanitizer's tracer crashed after the test had run: running it once more)"
done
exit "$status"
