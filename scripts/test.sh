#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the normal build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and a short run of each fuzzer.
# VS_SKIP_SETUP=1 skips the package installation on a machine that already has it.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${VS_SKIP_SETUP:-0}" = 1 ] || bash scripts/setup.sh
jobs=$(nproc)

run_build() {  # folder, then extra cmake arguments
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_build build
ASAN_OPTIONS=detect_leaks=1 run_build build-asan -DVS_SANITIZE=ON
CC=clang CXX=clang++ run_build build-fuzz -DVS_FUZZ=ON
