#!/usr/bin/env bash
# Builds every target (native, sanitizers, win64, win32) and runs every test.
# Installs what is missing first. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

tools/install-deps

jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }

step "native: build and test"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

step "native with address and undefined-behaviour sanitizers: build and test"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize

step "win32: build and link"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

step "win64: build, and test under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
tools/wine-run --init
ctest --preset win64
