# Shared by scripts/test.sh, scripts/demo.sh, scripts/bench_wine.sh and
# scripts/soak.sh: the packages the builds and the tests need, installed when
# missing (Debian, as root), and the build folders.

# shellcheck shell=bash

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc 2>/dev/null || echo 2)"

PACKAGES=(
    cmake g++ googletest libgtest-dev       # native build and unit tests
    g++-mingw-w64-x86-64-posix              # cross build of wendlock.exe
    wine64 wine fonts-wine                  # running it on Linux
    xvfb x11-utils                          # an X server of our own
    clang libclang-rt-14-dev                # libFuzzer targets
    lld llvm                                # cross build with clang
    clang-tidy                              # static checks of the sources
    python3                                 # the end-to-end harness
    imagemagick                             # screenshots of the demo
    nsis                                    # the installer
    osslsigncode openssl                    # signing it, and the test certificate
)

log() { printf '\n=== %s\n' "$*"; }

install_missing() {
    local missing=() package status
    for package in "${PACKAGES[@]}"; do
        status="$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)"
        if [[ "$status" != "install ok installed" ]]; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    log "installing ${missing[*]}"
    if [[ "$(id -u)" != 0 ]]; then
        echo "missing packages: ${missing[*]}; run this script as root to install them" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q "${missing[@]}"
}

# The cross build: wendlock.exe, the end-to-end tools, ini_conformance.exe
# and unit_tests.exe, in build/win32 unless WIN32_BUILD_DIR names another
# folder, with MinGW-w64 GCC unless WIN32_TOOLCHAIN_FILE names another
# toolchain file. Arguments go to the build (e.g. --target NAME ...).
# shellcheck disable=SC2120  # callers pass the targets they need, or none
build_win32() {
    local dir="${WIN32_BUILD_DIR:-$REPO/build/win32}"
    local toolchain="${WIN32_TOOLCHAIN_FILE:-$REPO/cmake/mingw-w64-x86_64.cmake}"
    cmake -S "$REPO" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" &&
        cmake --build "$dir" -j "$JOBS" "$@"
}

# The start of the scripts that show the program under Wine (the demo, the
# screenshots): into the repository, the packages when missing, then the
# cross build of wendlock.exe and the tools that drive it, in build/win32.
build_for_wine_scripts() {
    cd "$REPO" || return 1
    install_missing || return 1
    log "cross build (build/win32)"
    build_win32 --target wendlock standin driver
}

# The start of the bench and the soak under Wine: into the repository, the
# packages when missing, then the cross build in build-bench-wine (its
# progress not shown, its errors are), whose folder is left in
# BENCH_BUILD_DIR. Fails, with a word on stderr, when a step does.
build_bench_win32() {
    cd "$REPO" || return 1
    install_missing || return 1
    BENCH_BUILD_DIR="$REPO/build-bench-wine"
    log "cross build ($BENCH_BUILD_DIR)"
    # shellcheck disable=SC2119  # every target: no arguments to pass on
    WIN32_BUILD_DIR="$BENCH_BUILD_DIR" build_win32 >/dev/null || {
        echo "cross build failed" >&2
        return 1
    }
}
