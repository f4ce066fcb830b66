#!/usr/bin/env bash
# Runs one test command: CMake makes it the launcher of every test, in both builds.
#
# A test that fails says why, with an assertion ("[  FAILED  ]", "FAILED:") or a sanitizer
# report, and fails here as it is. Some deaths are this kind of virtual machine's, not the
# code's, and those alone run once more, saying so:
#  - LeakSanitizer's thread-stopping tracer now and then crashes at exit ("Tracer caught
#    signal 11", then "LeakSanitizer has encountered a fatal error"), after the program
#    itself has finished;
#  - a busy Xvfb now and then drops a client: Xlib then reports a fatal IO error, or the
#    process dies of SIGPIPE (status 141) without a word.
# A fault of ours does the same again on the second run and fails it.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
findings='ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:|\[  FAILED  \]|^FAILED: '
machine_faults='LeakSanitizer has encountered a fatal error|XIO: +fatal IO error|X connection to .* broken'
for attempt in 1 2; do
  status=0
  "$@" > "$out" 2> "$err" || status=$?
  cat "$out"
  cat "$err" >&2
  if [ "$status" -eq 0 ] || grep -qE "$findings" "$out" "$err"; then
    exit "$status"
  fi
  if [ "$status" -eq 141 ]; then
    echo "(the test died of SIGPIPE: its X server connection was dropped; running it once more)" >&2
  elif grep -qE "$machine_faults" "$out" "$err"; then
    echo "(the machine, not the test, ended that run: running it once more)" >&2
  else
    exit "$status"
  fi
done
exit "$status"
