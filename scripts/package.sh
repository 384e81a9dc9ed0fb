#!/usr/bin/env bash
# The release packages, from this checkout, in one command:
#   dist/wendlock-<version>-win64.zip   wendlock.exe, README.txt, example.ini
#   dist/wendlock-<version>-setup.exe   the per-user NSIS installer
# The version comes from CMakeLists.txt (through the cross build's
# version.txt). Installs what is missing (Debian, as root) and builds the
# cross build in build/win32 (WIN32_BUILD_DIR names another folder).

set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$REPO"

install_missing
dir="${WIN32_BUILD_DIR:-$REPO/build/win32}"
log "cross build of wendlock.exe ($dir)"
WIN32_BUILD_DIR="$dir" build_win32 --target wendlock >/dev/null
version="$(tr -d '[:space:]' <"$dir/version.txt")"

stage="$dir/package"
rm -rf "$stage"
mkdir -p "$stage" dist
# The release carries no symbols: a third of the size.
x86_64-w64-mingw32-strip -o "$stage/wendlock.exe" "$dir/wendlock.exe"
# Plain text for Notepad: CRLF line ends, the version filled in.
python3 - "$version" "$stage" <<'PY'
import sys
version, stage = sys.argv[1], sys.argv[2]
for source, target in (("packaging/README.txt", "README.txt"), ("packaging/example.ini", "example.ini")):
    text = open(source, encoding="utf-8").read().replace("@VERSION@", version)
    with open(f"{stage}/{target}", "wb") as out:
        out.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1252"))
PY

zip="dist/wendlock-$version-win64.zip"
setup="dist/wendlock-$version-setup.exe"
log "zip: $zip"
python3 - "$stage" "$zip" <<'PY'
import sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in ("wendlock.exe", "README.txt", "example.ini"):
        archive.write(f"{stage}/{name}", name)
PY

log "installer: $setup"
size_kb=$(( ($(stat -c %s "$stage/wendlock.exe") + $(stat -c %s "$stage/README.txt") + 1023) / 1024 ))
makensis -V2 \
    "-DVERSION=$version" "-DVERSION4=$version.0" "-DSOURCE=$stage" \
    "-DOUTFILE=$REPO/$setup" "-DSIZE_KB=$size_kb" packaging/wendlock.nsi

ls -l "$zip" "$setup"
