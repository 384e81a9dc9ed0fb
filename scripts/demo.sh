#!/usr/bin/env bash
# Demo: builds wendlock.exe for Windows and shows it answering message boxes
# under Wine. Uses the X display in DISPLAY when one is set, else an Xvfb of
# its own. Prints which button answered each box and after how long, and
# where the report and a screenshot of the main window were saved.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_for_wine_scripts || exit 1

log "demo"
display_args=()
if [[ -n "${DISPLAY:-}" ]]; then
    display_args=(--display "$DISPLAY")
fi
exec python3 tests/e2e/demo.py --build build/win32 "${display_args[@]}" "$@"
