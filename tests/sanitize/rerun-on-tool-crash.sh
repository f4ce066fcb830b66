#!/usr/bin/env bash
# Runs a test command of the sanitizer build; used as the tests' launcher there.
#
# On this kind of virtual machine LeakSanitizer's thread-stopping tracer now and then
# crashes at process exit ("Tracer caught signal 11", then "LeakSanitizer has encountered
# a fatal error"), after the program itself has finished. That is the tool failing, not a
# finding, so the command runs once more. Any real report still fails: an AddressSanitizer
# error, a leak report or an undefined-behaviour report is never retried.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  status=0
  "$@" > "$out" 2> "$err" || status=$?
  cat "$out"
  cat "$err" >&2
  if [ "$status" -eq 0 ] ||
     ! grep -q 'LeakSanitizer has encountered a fatal error' "$out" "$err" ||
     grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:' "$out" "$err"; then
    exit "$status"
  fi
  echo "(the leak checker crashed at exit, not the test: running it once more)" >&2
done
exit "$status"
