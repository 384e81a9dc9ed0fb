#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#
#   fuzz/run.sh [seconds-per-target] [target...]
#
# Targets: ini, split_entry, profile (all by default); 20 seconds each by
# default (FUZZ_SECONDS overrides too). New inputs go to a working corpus in
# the build folder, seeded from fuzz/corpus/<target>, so the committed seeds
# stay small. A crash, a sanitizer report, a broken invariant or a hang
# (-timeout) fails its target; the reproducer lands in
# build-fuzz/artifacts/. Exit status: non-zero when any target failed.
set -u

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-${FUZZ_SECONDS:-20}}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(ini split_entry profile)
fi

generator=()
if command -v ninja > /dev/null; then
    generator=(-G Ninja)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ > /dev/null ||
        { echo "fuzz: configure failed"; exit 2; }
fi
cmake --build "$build" || { echo "fuzz: build failed"; exit 2; }

mkdir -p "$build/artifacts"
# The targets write a profile per run: keep that in memory where possible.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
passed=0
failed=0
failed_names=()
for target in "${targets[@]}"; do
    exe="$build/fuzz_$target"
    if [ ! -x "$exe" ]; then
        echo "fuzz: no target $target"
        failed=$((failed + 1))
        failed_names+=("$target")
        continue
    fi
    work="$build/corpus/$target"
    mkdir -p "$work"
    log="$build/fuzz_$target.log"
    echo "== fuzz_$target: ${seconds}s"
    # ASan's leak check runs at exit of each run; UBSan stops at the first
    # report so it cannot scroll by unnoticed.
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
        "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 \
        -artifact_prefix="$build/artifacts/${target}-" -print_final_stats=1 \
        "$work" "$here/corpus/$target" > "$log" 2>&1
    status=$?
    if [ $status -eq 0 ]; then
        passed=$((passed + 1))
        runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
        echo "   passed (${runs:-?} runs)"
    else
        failed=$((failed + 1))
        failed_names+=("$target")
        echo "   FAILED (status $status), log: $log"
        grep -m1 -E 'INVARIANT BROKEN|ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error|Test unit written' "$log" | sed 's/^/   /'
        grep -E 'Test unit written' "$log" | sed 's/^/   /'
    fi
done

echo "$passed passed, $failed failed${failed_names[*]:+ (${failed_names[*]})}"
[ $failed -eq 0 ]
