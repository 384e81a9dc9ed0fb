#!/usr/bin/env bash
# The release packages, from this checkout, in one command:
#   dist/wendlock-<version>-win64.zip   wendlock.exe, README.txt, examples/example.ini
#   dist/wendlock-<version>-setup.exe   the per-user NSIS installer
#   dist/SHA256SUMS                     their checksums, for `sha256sum -c SHA256SUMS`
# The version comes from CMakeLists.txt (through the cross build's
# version.txt). Installs what is missing (Debian, as root) and builds the
# cross build in build/win32 (WIN32_BUILD_DIR names another folder).
#
# Two runs from one commit give the same bytes, in whatever folder and at
# whatever time: every time stamp is the commit's (SOURCE_DATE_EPOCH, unless
# already set), and the build leaves out time stamps and folder names.
#
# Signing: with WENDLOCK_SIGN_PFX (a PKCS#12 file) and
# WENDLOCK_SIGN_PASSWORD_FILE (a file holding its password), and optionally
# WENDLOCK_SIGN_TIMESTAMP_URL, wendlock.exe is signed before it goes into
# the packages, and so are the uninstaller and the setup (scripts/sign.sh).
# The signed uninstaller is left in <build>/package/uninstall.exe, as the
# setup writes it.

set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$REPO"

install_missing
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
    # Also in a checkout that another user owns (as CI's may be).
    SOURCE_DATE_EPOCH="$(git -c safe.directory="$REPO" log -1 --format=%ct)" || {
        echo "not a git checkout: set SOURCE_DATE_EPOCH to the sources' time" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
if [[ -n "${WENDLOCK_SIGN_PFX:-}" && -n "${WENDLOCK_SIGN_PASSWORD_FILE:-}" ]]; then
    signing=1
    log "signing with $WENDLOCK_SIGN_PFX"
else
    signing=0
    log "not signing: WENDLOCK_SIGN_PFX and WENDLOCK_SIGN_PASSWORD_FILE are not both set"
fi

dir="${WIN32_BUILD_DIR:-$REPO/build/win32}"
log "cross build of wendlock.exe ($dir)"
WIN32_BUILD_DIR="$dir" build_win32 --target wendlock >/dev/null
version="$(tr -d '[:space:]' <"$dir/version.txt")"

stage="$dir/package"
rm -rf "$stage" dist
mkdir -p "$stage/examples" dist
# The release carries no symbols: a third of the size.
x86_64-w64-mingw32-strip -o "$stage/wendlock.exe" "$dir/wendlock.exe"
if ((signing)); then
    bash scripts/sign.sh "$stage/wendlock.exe"
fi
# Plain text for Notepad: CRLF line ends, the version filled in.
python3 - "$version" "$stage" <<'PY'
import sys
version, stage = sys.argv[1], sys.argv[2]
for source, target in (("packaging/README.txt", "README.txt"),
                       ("packaging/example.ini", "examples/example.ini")):
    text = open(source, encoding="utf-8").read().replace("@VERSION@", version)
    with open(f"{stage}/{target}", "wb") as out:
        out.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1252"))
PY
# The installer keeps each file's time: the commit's, not the build's.
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

zip="dist/wendlock-$version-win64.zip"
setup="dist/wendlock-$version-setup.exe"
log "zip: $zip"
python3 - "$stage" "$zip" <<'PY'
import os, sys, time, zipfile
stage, target = sys.argv[1], sys.argv[2]
# The commit's time (zip times have no zone: UTC, as Windows shows them
# for any zone alike), a fixed order and fixed attributes.
when = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(target, "w") as archive:
    for name in ("wendlock.exe", "README.txt", "examples/example.ini"):
        entry = zipfile.ZipInfo(name, date_time=when)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(f"{stage}/{name}", "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
PY

log "installer: $setup"
size_kb=$(( ($(stat -c %s "$stage/wendlock.exe") + $(stat -c %s "$stage/README.txt") + 1023) / 1024 ))
# A signed uninstaller goes into the setup whole (about 50 KB more); an
# unsigned one is made from the setup's own stub at install time.
finalize=()
if ((signing)); then
    finalize=("-DFINALIZE_UNINSTALLER=bash '$REPO/scripts/sign.sh' '%1' && cp '%1' '$stage/uninstall.exe'")
fi
makensis -V2 \
    "-DVERSION=$version" "-DVERSION4=$version.0" "-DSOURCE=$stage" \
    "-DOUTFILE=$REPO/$setup" "-DSIZE_KB=$size_kb" "${finalize[@]}" packaging/wendlock.nsi
if ((signing)); then
    bash scripts/sign.sh "$setup"
fi

(cd dist && sha256sum -- *.zip *.exe >SHA256SUMS)
ls -l dist
