#!/usr/bin/env bash
# Builds and runs every test: the native core under ASan/UBSan, its fuzz targets, then the
# Windows programs' tests under Wine on one virtual display, for each architecture this
# machine can execute: x64 always, x86 where 32-bit programs run. Ends with one line per
# architecture; exits non-zero if any suite fails or no Windows test ran.
# Arguments go to both Windows ctest runs (for example -R e2e).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
cd "$root"

"$here/install-deps.sh" || exit 1
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64 || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || exit 1

status=0
echo "== native core tests (ASan, UBSan)"
ctest --preset native || status=1

echo "== fuzz targets (libFuzzer, a bounded number of inputs each)"
ctest --preset fuzz || status=1

source "$here/display.sh"
velmora_display_start || exit 1

summary=()
windows_ran=0
# run_windows_suite ARCH PRESET LABEL [ctest arguments]
run_windows_suite() {
    local arch=$1 preset=$2 label=$3
    shift 3
    echo "== Windows tests under Wine: $label"
    local log
    log=$(mktemp)
    VELMORA_ARCH=$arch "$here/wine-session.sh" start
    ctest --preset "$preset" "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    VELMORA_ARCH=$arch "$here/wine-session.sh" stop
    # "100% tests passed, 0 tests failed out of 228"
    local line failed total skipped
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)' "$log")
    rm -f "$log"
    if [ -z "$line" ]; then
        summary+=("$label: FAILED, ctest ran no tests (exit $rc)")
        status=1
        return
    fi
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    if [ "$total" -eq 0 ]; then
        summary+=("$label: FAILED, no test ran")
        status=1
    elif [ "$rc" -ne 0 ] || [ "$failed" -ne 0 ]; then
        summary+=("$label: FAILED, $failed of $total tests failed")
        status=1
    else
        local note=""
        [ "$skipped" -eq 0 ] || note=", $skipped skipped"
        summary+=("$label: $((total - skipped)) of $total tests passed$note")
        windows_ran=1
    fi
}

# The x64 suite's e2e tests also replace a 32-bit installation where 32-bit programs run.
if why_not_x86=$(source "$here/wine-env.sh" && velmora_x86_runs); then
    export VELMORA_X86_RUNS=1
else
    export VELMORA_X86_RUNS=0
fi
run_windows_suite x64 windows-x64 "Windows x64 (wine64)" "$@"
if [ "$VELMORA_X86_RUNS" = 1 ]; then
    run_windows_suite x86 windows "Windows x86 (wine32)" "$@"
else
    summary+=("Windows x86 (wine32): SKIPPED, $why_not_x86")
fi
velmora_display_stop

[ "$windows_ran" -eq 1 ] || status=1
echo "== summary"
for line in "${summary[@]}"; do echo "$line"; done
[ "$status" -eq 0 ] && echo "all suites passed" || echo "FAILED"
exit $status
