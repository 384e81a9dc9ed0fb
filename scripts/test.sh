#!/usr/bin/env bash
# Every test of the project, from a clean checkout:
#   1. unit tests on the simulated platform (build/native),
#   2. clang-tidy over src/ on build/native's compile commands, with the
#      checks of .clang-tidy as errors, counted as one case,
#   3. the unit tests under AddressSanitizer and UBSan (build/asan),
#   4. the libFuzzer targets, each for a short bounded time (build/fuzz),
#   5. the cross build for Windows with MinGW-w64 GCC (build/win32),
#   6. the release packages (scripts/package.sh, into dist/), signed with a
#      throwaway certificate, and their checks: checksums, signatures, the
#      same bytes from a second run in a clone elsewhere,
#   7. the end-to-end tests: wendlock.exe and the packages under Wine on an X
#      server of its own,
#   8. the unit tests built for Windows (unit_tests.exe) under Wine,
#   9. the cross build of wendlock.exe and its test tools with clang
#      (build/win32-clang), counted as one case.
# Installs the packages it needs when they are missing (Debian, as root).
# The last line is "N passed, N failed" over all suites; the exit status is
# non-zero when anything failed.
#
# Environment: WENDLOCK_SKIP_ASAN=1 leaves out step 3; WENDLOCK_FUZZ_SECONDS
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

# clang-tidy over the program's sources as the native build compiles them,
# in parallel; what it reports is in build/tidy.log. GCC's own warning
# options in the compile commands are not clang's: it ignores them.
tidy_suite() {
    log "tidy: clang-tidy on src/ (build/native)"
    local started=$SECONDS log_file=build/tidy.log
    if [[ ! -f build/native/compile_commands.json ]]; then
        record "tidy" 0 1 "no build/native/compile_commands.json"
        return
    fi
    if run-clang-tidy -quiet -p build/native -j "$JOBS" \
        -extra-arg=-Wno-unknown-warning-option "$REPO/src/" >"$log_file" 2>&1; then
        record "tidy" 1 0 "clean in $((SECONDS - started)) s"
    else
        sed -E 's/\x1b\[[0-9;]*m//g' "$log_file" | grep -E '(warning|error):' | sort -u | head -50
        record "tidy" 0 1 "findings in $log_file"
    fi
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

# dist/SHA256SUMS lists every other file of dist/, each with its right sum.
sums_cover_dist() {
    (cd dist && sha256sum --strict --quiet -c SHA256SUMS &&
        [[ "$(printf '%s\n' * | grep -vx SHA256SUMS)" == "$(cut -c67- SHA256SUMS | sort)" ]])
}

# scripts/package.sh in a clone of HEAD in FOLDER, with the checkout's
# changes to tracked files.
package_in_clone() {
    git -c safe.directory="$REPO" clone -q "$REPO" "$1" &&
        { git -c safe.directory="$REPO" diff HEAD --binary |
            (cd "$1" && git apply --allow-empty); } &&
        bash "$1/scripts/package.sh" >/dev/null
}

# The release packages, signed with a throwaway certificate, and the checks
# on what scripts/package.sh built: the checksums, the three signatures, and
# a second run from a clone in another folder giving the same bytes. The
# end-to-end suite then installs and runs these signed packages.
package_suite() {
    log "packages: scripts/package.sh, signed with a throwaway certificate"
    local keys="$REPO/build/sign-test" passed=0 failed=0 started clone second
    rm -rf "$keys"
    mkdir -p "$keys"
    printf 'throwaway\n' >"$keys/password.txt"
    if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Wendlock test signing" \
        -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null ||
        ! openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" \
            -out "$keys/cert.pfx" -passout "file:$keys/password.txt"; then
        record "package" 0 1 "no test certificate"
        return
    fi
    export WENDLOCK_SIGN_PFX="$keys/cert.pfx" WENDLOCK_SIGN_PASSWORD_FILE="$keys/password.txt"
    check() { # NAME COMMAND...
        local name="$1"
        shift
        if "$@"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "FAILED: $name"
        fi
    }
    if ! bash scripts/package.sh; then
        record "package" 0 1 "scripts/package.sh failed"
        unset WENDLOCK_SIGN_PFX WENDLOCK_SIGN_PASSWORD_FILE
        return
    fi
    check "SHA256SUMS" sums_cover_dist
    local version exe
    version="$(tr -d '[:space:]' <build/win32/version.txt)"
    check "CHANGELOG.md names $version first" \
        [ "$(grep -m1 '^## ' CHANGELOG.md)" == "## $version" ]
    exe="$keys/wendlock.exe"
    python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(
        zipfile.ZipFile(sys.argv[1]).read("wendlock.exe"))' \
        "dist/wendlock-$version-win64.zip" "$exe"
    for signed in "$exe" build/win32/package/uninstall.exe "dist/wendlock-$version-setup.exe"; do
        check "signature of $signed" \
            osslsigncode verify -CAfile "$keys/cert.pem" -in "$signed" >/dev/null
    done
    # The clone builds HEAD, with the checkout's changes to tracked files.
    clone="$(mktemp -d /tmp/wendlock-clone-XXXXXX)/wendlock"
    started=$SECONDS
    check "second build from $clone" package_in_clone "$clone"
    second=$((SECONDS - started))
    for file in dist/* build/win32/package/uninstall.exe; do
        check "the same $file from $clone" cmp "$file" "$clone/$file"
    done
    rm -rf "$(dirname "$clone")"
    unset WENDLOCK_SIGN_PFX WENDLOCK_SIGN_PASSWORD_FILE
    record "package" "$passed" "$failed" "second build from a clone: $second s"
}

win32_suites() {
    log "win32: cross build (build/win32)"
    if ! build_win32; then
        record "e2e" 0 1 "cross build failed"
        record "win-unit" 0 1 "cross build failed"
        return
    fi
    package_suite
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
        build_win32 --target wendlock driver standin probe poller tickbench ini_conformance \
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
tidy_suite
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
