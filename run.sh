#!/usr/bin/env bash
# Builds the calculator and starts it under Wine. Without a display, renders its window into a
# PNG instead and says where. Installs what is missing first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

tools/install-deps
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target diskspace
if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine-run build/win64/app/diskspace.exe
fi
picture=$PWD/build/diskspace.png
tools/screenshot --out "$picture" >/dev/null
echo "No display: the calculator window is rendered in $picture"
