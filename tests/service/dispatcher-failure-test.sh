#!/usr/bin/env bash
# Service.exe started outside the service control manager with an argument that is no
# command ("/install") tries the dispatcher, prints nothing and writes an error event.
# Wine writes error events to its error trace, which only a process's own stderr shows.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
velmora_prefix_ready || exit 1
exe=$1
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
out=$(WINEDEBUG=err+eventlog wine "$exe" /install 2>"$trace")
status=$?
fail=0
[ "$status" -eq 0 ] || { echo "exit code $status, expected 0"; fail=1; }
[ -z "$out" ] || { echo "printed: $out"; fail=1; }
grep -q 'err:eventlog:ReportEventW L"VLM Service"' "$trace" || { echo "no event naming the source"; fail=1; }
grep -q 'err:eventlog:ReportEventW L"StartServiceCtrlDispatcher"' "$trace" || { echo "no event naming the operation"; fail=1; }
[ "$fail" -eq 0 ] || cat "$trace"
exit $fail
