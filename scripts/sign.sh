#!/usr/bin/env bash
# Signs one Windows program in place (Authenticode, SHA-256) with
# osslsigncode, for scripts/package.sh and the installer's uninstaller:
#   WENDLOCK_SIGN_PFX=cert.pfx WENDLOCK_SIGN_PASSWORD_FILE=pass.txt \
#       [WENDLOCK_SIGN_TIMESTAMP_URL=http://...] bash scripts/sign.sh FILE
# The signing time is SOURCE_DATE_EPOCH when set, so that a signature made
# twice with one certificate is the same bytes; a time-stamp server's answer
# differs each time, so with WENDLOCK_SIGN_TIMESTAMP_URL a package is
# reproducible only up to its signatures.

set -euo pipefail

file="$1"
args=(sign -h sha256 -n Wendlock -pkcs12 "$WENDLOCK_SIGN_PFX"
    -readpass "$WENDLOCK_SIGN_PASSWORD_FILE")
if [[ -n "${SOURCE_DATE_EPOCH:-}" ]]; then
    args+=(-time "$SOURCE_DATE_EPOCH")
fi
if [[ -n "${WENDLOCK_SIGN_TIMESTAMP_URL:-}" ]]; then
    args+=(-ts "$WENDLOCK_SIGN_TIMESTAMP_URL")
fi
osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
