#!/usr/bin/env bash
# Soak test of wendlock.exe under Wine (not part of CI): monitoring on for
# --minutes N (default 10) while stand-ins open listed boxes at random times
# and finder drags go over their changing windows (100 drags a minute unless
# --drags says otherwise); fails when a box goes unanswered, Wendlock stops
# answering, or its handles, GDI objects or private bytes grow.
#
#   bash scripts/soak.sh [--minutes N] [--drags N] [--seed N]
#
# Installs only what scripts/test.sh installs; builds the cross build in
# build-bench-wine; Wine prefix WINE_SOAK_PREFIX (default /tmp/wine-soak).

set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_bench_win32 || exit 1
log "soak under Wine"
exec python3 tests/e2e/soak.py --build "$BENCH_BUILD_DIR" --prefix "${WINE_SOAK_PREFIX:-/tmp/wine-soak}" "$@"
