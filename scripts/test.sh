#!/usr/bin/env bash
# Every test of the project, from a clean checkout:
#   1. unit tests on the simulated platform (build/native),
#   2. the same under AddressSanitizer and UBSan (build/asan),
#   3. the libFuzzer targets, each for a short bounded time (build/fuzz),
#   4. the cross build for Windows with MinGW-w64 GCC (build/win32),
#   5. the release packages (scripts/package.sh, into dist/),
#   6. the end-to-end tests: wendlock.exe and the packages under Wine on an X
#      server of its own,
#   7. the unit tests built for Windows (unit_tests.exe) under Wine,
#   8. the cross build of wendlock.exe and its test tools with clang
#      (build/win32-clang), counted as one case.
# Installs the packages it needs when they are missing (Debian, as root).
# The last line is "N passed, N failed" over all suites; the exit status is
# non-zero when anything failed.
#
# Environment: WENDLOCK_SKIP_ASAN=1 leaves out step 2; WENDLOCK_FUZZ_SECONDS
# sets the time of each fuzz target (default 10).

set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$REPO" || exit 1

started=$SECONDS
total_passed=0
total_failed=0
summary=()

# Records a suite's counts: NAME PASSED FAILED [NOTE]
record() {
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    summary+=("$(printf '%-10s %4d passed, %d failed%s' "$1" "$2" "$3" "${4:+ ($4)}")")
}

# Builds a native configuration and runs its unit tests through ctest.
native_suite() {
    local name="$1" dir="$2"
    shift 2
    log "$name: build ($dir)"
    if ! cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" ||
        ! cmake --build "$dir" -j "$JOBS"; then
        record "$name" 0 1 "build failed"
        return
    fi
    log "$name: unit tests"
    local output
    output="$(cd "$dir" && ctest --output-on-failure -j "$JOBS" 2>&1)"
    printf '%s\n' "$output" | grep -vE '^ *([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+: )'
    local line total failed skipped
    line="$(printf '%s\n' "$output" | grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' | tail -1)"
    if [[ -z "$line" ]]; then
        record "$name" 0 1 "no ctest summary"
        return
    fi
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")"
    skipped="$(printf '%s\n' "$output" | grep -cE '\(Skipped\)$' || true)"
    record "$name" $((total - failed - skipped)) "$failed" "${skipped} skipped"
}

fuzz_suite() {
    log "fuzz: libFuzzer targets (build/fuzz)"
    local log_file=build/fuzz.log line
    mkdir -p build
    FUZZ_BUILD_DIR="$REPO/build/fuzz" bash fuzz/run.sh "${WENDLOCK_FUZZ_SECONDS:-10}" 2>&1 |
        tee "$log_file"
    line="$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log_file" | tail -1)"
    if [[ -z "$line" ]]; then
        record "fuzz" 0 1 "no summary line"
        return
    fi
    record "fuzz" "$(cut -d' ' -f1 <<<"$line")" "$(cut -d' ' -f3 <<<"$line")"
}

# Runs tests/e2e/run_e2e.py on build/win32 and records its counts:
# NAME LOG_FILE [ARGUMENTS...]
wine_suite() {
    local name="$1" log_file="$2" line skipped
    shift 2
    python3 tests/e2e/run_e2e.py --build build/win32 "$@" 2>&1 | tee "$log_file"
    line="$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log_file" | tail -1)"
    if [[ -z "$line" ]]; then
        record "$name" 0 1 "no summary line"
        return
    fi
    skipped="$(sed -nE 's/^# .* took .* s; ([0-9]+) skipped$/\1/p' "$log_file" | tail -1)"
    record "$name" "$(cut -d' ' -f1 <<<"$line")" "$(cut -d' ' -f3 <<<"$line")" \
        "${skipped:-0} skipped"
}

win32_suites() {
    log "win32: cross build (build/win32)"
    if ! build_win32; then
        record "e2e" 0 1 "cross build failed"
        record "win-unit" 0 1 "cross build failed"
        return
    fi
    log "packages: scripts/package.sh"
    if bash scripts/package.sh; then
        record "package" 1 0
    else
        record "package" 0 1 "scripts/package.sh failed"
    fi
    log "e2e: wendlock.exe under Wine"
    wine_suite e2e build/e2e.log
    log "win-unit: unit_tests.exe under Wine"
    wine_suite win-unit build/win-unit.log --unit-tests
}

# A second compiler for the Windows build: what it warns about fails the
# build (-Werror) like GCC's warnings do. The unit tests are left to the GCC
# build, which runs them.
clang_suite() {
    log "clang: cross build with clang (build/win32-clang)"
    local started=$SECONDS
    if WIN32_BUILD_DIR="$REPO/build/win32-clang" \
        WIN32_TOOLCHAIN_FILE="$REPO/cmake/clang-mingw-w64-x86_64.cmake" \
        build_win32 --target wendlock driver standin probe poller ini_conformance \
            host_conformance window_conformance; then
        record "clang" 1 0 "wendlock.exe and the tools built in $((SECONDS - started)) s"
    else
        record "clang" 0 1 "build failed"
    fi
}

if ! install_missing; then
    echo "0 passed, 1 failed"
    exit 1
fi

native_suite native build/native
if [[ "${WENDLOCK_SKIP_ASAN:-0}" != 1 ]]; then
    native_suite asan build/asan -DWENDLOCK_SANITIZE=ON
fi
fuzz_suite
win32_suites
clang_suite

log "summary ($((SECONDS - started)) s)"
printf '%s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed"
((total_failed == 0))
