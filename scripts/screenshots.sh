#!/usr/bin/env bash
# The user guide's pictures: builds wendlock.exe for Windows (when needed),
# runs it under Wine on an Xvfb of its own and saves PNG files of the main
# window, the finder over a message box and the tray menu into docs/images
# (or the folder given with --out). Not part of the tests; run it by hand
# after a change to the window and commit the pictures.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_for_wine_scripts || exit 1

log "screenshots"
exec python3 tests/e2e/screenshots.py --build build/win32 "$@"
