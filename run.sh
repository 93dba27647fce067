#!/usr/bin/env bash
# Builds the calculator and starts it. Installs what is missing first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

tools/install-deps
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target storagecalc
build/native/tools/storagecalc/storagecalc 768x576 "1 неделя" 10 2
