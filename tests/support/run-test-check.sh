#!/usr/bin/env bash
# The test launcher runs a test again only for the machine's faults, never for a finding.
set -uo pipefail
launcher="$(dirname "${BASH_SOURCE[0]}")/run-test.sh"
runs=$(mktemp)
trap 'rm -f "$runs"' EXIT
failed=0

# expect NAME STATUS RUNS COMMAND: the launcher's status, and how often COMMAND ran.
expect() {
  local name=$1 want_status=$2 want_runs=$3 status=0
  shift 3
  : > "$runs"
  bash "$launcher" bash -c "echo run >> '$runs'; $*" > /dev/null 2>&1 || status=$?
  local got_runs
  got_runs=$(wc -l < "$runs")
  if [ "$status" -ne "$want_status" ] || [ "$got_runs" -ne "$want_runs" ]; then
    echo "FAILED: $name: status $status after $got_runs runs, expected $want_status after $want_runs"
    failed=1
  fi
}

expect "a pass" 0 1 'exit 0'
expect "a plain failure" 3 1 'exit 3'
expect "an assertion, then SIGPIPE" 141 1 'echo "[  FAILED  ] A.B"; kill -PIPE $$'
expect "an AddressSanitizer report beside a tracer crash" 1 1 \
  'echo "ERROR: AddressSanitizer: heap-buffer-overflow" >&2; echo "LeakSanitizer has encountered a fatal error" >&2; exit 1'
expect "SIGPIPE every time" 141 2 'kill -PIPE $$'
expect "a dropped X connection every time" 1 2 'echo "XIO:  fatal IO error 32 (Broken pipe) on X server \":9\"" >&2; exit 1'
expect "a tracer crash once" 0 2 \
  '[ "$(wc -l < '"'$runs'"')" -gt 1 ] && exit 0; echo "LeakSanitizer has encountered a fatal error" >&2; exit 1'
exit "$failed"
