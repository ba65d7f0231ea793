#!/usr/bin/env bash
# Builds Dustrel twice (natively with sanitizers into build/native, for 32-bit Windows into
# build/win32), and the tests of the scan's threads under ThreadSanitizer into build/tsan, and
# runs every test: the native ones directly, the Windows ones under Wine on a private Xvfb
# screen. Installs what is missing first. Ends with "N passed, N failed".
# Where the kernel cannot start Wine's 32-bit loader, the Windows side is built for 64-bit
# Windows into build/win64 and run by wine64 instead (see dustrel_wine_arch in common.sh).
# Last, it packages with scripts/package.sh and tests the zip and the installer under Wine.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$DUSTREL_ROOT/scripts/setup.sh"
mkdir -p "$DUSTREL_BUILD"

echo "== native build"
cmake -S "$DUSTREL_ROOT" -B "$DUSTREL_BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$DUSTREL_BUILD/native" -j "$DUSTREL_JOBS"

# The code that runs on several threads, once more under ThreadSanitizer: only its tests.
echo "== native build under ThreadSanitizer"
cmake -S "$DUSTREL_ROOT" -B "$DUSTREL_BUILD/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDUSTREL_SANITIZE=OFF -DDUSTREL_TSAN=ON
cmake --build "$DUSTREL_BUILD/tsan" -j "$DUSTREL_JOBS" --target dustrel_tsan_tests

windows="$(dustrel_windows_build_dir)"
echo "== Windows build ($(dustrel_wine_arch))"
cmake -S "$DUSTREL_ROOT" -B "$windows" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$(dustrel_windows_toolchain)"
cmake --build "$windows" -j "$DUSTREL_JOBS"

cleanup() {
    dustrel_stop_wineserver
    dustrel_stop_xvfb
}
trap cleanup EXIT

# The tests get their own screen even when the caller has one.
dustrel_wine_env
dustrel_start_xvfb
dustrel_ensure_prefix
dustrel_map_scan_drive
dustrel_start_wineserver

passed=0
failed=0
skipped=0

# run_ctest <label> <build dir> <ctest args...>: runs CTest, adds its counts to the totals.
run_ctest() {
    local label=$1 dir=$2
    shift 2
    local log="$dir/ctest.log"
    echo "== $label tests"
    set +e
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    set -e
    # CTest closes with "NN% tests passed, F tests failed out of T"; skipped and disabled
    # tests count among the passed there and are listed under "did not run".
    local summary total=0 fail=0 skip
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
    if [[ -n $summary ]]; then
        fail=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    elif ! grep -q 'No tests were found' "$log"; then
        echo "$label: CTest ended without a summary (status $status)" >&2
        fail=1
    fi
    skip=$(sed -n '/^The following tests did not run:/,/^$/p' "$log" | grep -cE '\((Skipped|Disabled)\)' || true)
    if ((status != 0 && fail == 0)); then
        echo "$label: CTest failed (status $status)" >&2
        fail=1
    fi
    passed=$((passed + total - fail - skip))
    failed=$((failed + fail))
    skipped=$((skipped + skip))
}

# run_package_tests: packages with scripts/package.sh, then installs and removes what it made
# in the same prefix; adds the counts of the script's closing line to the totals.
run_package_tests() {
    local log="$DUSTREL_BUILD/package-test.log"
    echo "== package tests"
    set +e
    bash "$DUSTREL_ROOT/tests/package/package_test.sh" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    set -e
    local summary pass=0 fail=0 skip=0
    summary=$(grep -E '^package tests: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$log" || true)
    if [[ -n $summary ]]; then
        read -r pass fail skip <<<"$(tr -cs '0-9' ' ' <<<"$summary")"
    fi
    if ((status != 0 && fail == 0)); then
        echo "package tests: failed (status $status)" >&2
        fail=1
    fi
    passed=$((passed + pass))
    failed=$((failed + fail))
    skipped=$((skipped + skip))
}

run_ctest native "$DUSTREL_BUILD/native" -j "$DUSTREL_JOBS"
run_ctest ThreadSanitizer "$DUSTREL_BUILD/tsan" -j "$DUSTREL_JOBS"
# One Wine program at a time: they share one prefix, its registry and one screen.
run_ctest Wine "$windows"
run_package_tests

echo
if ((skipped)); then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
((failed == 0))
