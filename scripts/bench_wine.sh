#!/usr/bin/env bash
# Benchmarks of wendlock.exe under Wine: builds the cross build in
# build-bench-wine and prints one table of figures (no pass or fail) from
# tests/e2e/bench_wine.py. Installs only what scripts/test.sh installs (the
# same package list, when missing; Debian, as root). About a quarter of an
# hour, ten minutes of it the tray section.
#
#   bash scripts/bench_wine.sh [--only tray,latency,cpu,tree,outline,startup]
#
# Environment: WINE_BENCH_PREFIX (default /tmp/wine-bench), the Wine prefix
# of the bench, set up on first use with a virtual desktop; the bench runs its
# own Xvfb and stops every process it started.

set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_bench_win32 || exit 1
log "benchmarks under Wine"
exec python3 tests/e2e/bench_wine.py --build "$BENCH_BUILD_DIR" \
    --prefix "${WINE_BENCH_PREFIX:-/tmp/wine-bench}" "$@"
