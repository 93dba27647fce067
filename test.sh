#!/usr/bin/env bash
# Builds every target (native, sanitizers, win64, win32) and runs every test, the Windows ones
# under 64-bit and 32-bit Wine. Installs what is missing first. Exits non-zero when anything
# fails; at the end it prints the time each step took.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

jobs=$(nproc)
# Seconds each fuzz target runs; 0 skips the fuzz step. Checked here, before the long steps.
fuzz_seconds=${DS_FUZZ_SECONDS:-60}
case "$fuzz_seconds" in
  ''|*[!0-9]*) echo "test.sh: DS_FUZZ_SECONDS must be a whole number of seconds, not '$fuzz_seconds'" >&2; exit 2 ;;
esac
fuzz_seconds=$((10#$fuzz_seconds))
# Each step says how long it took, and the end gives every step's time and the total, so that
# a run shows where its time goes.
step_name=
step_start=$SECONDS
step_times=()
end_step() {
  [ -n "$step_name" ] || return 0
  local took=$((SECONDS - step_start))
  step_times+=("$(printf '%5d s  %s' "$took" "$step_name")")
  printf '== %s: %d s\n' "$step_name" "$took"
}
step() {
  end_step
  step_name=$*
  step_start=$SECONDS
  printf '\n== %s\n' "$step_name"
}
# Also after a failed step, so that the time up to the failure shows too.
report_times() {
  end_step
  printf '\n== time of each step\n'
  printf '%s\n' "${step_times[@]}"
  printf '%5d s  total\n' "$SECONDS"
}
trap report_times EXIT

step "install what is missing"
tools/install-deps

step "native: build and test"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

step "native with address and undefined-behaviour sanitizers: build and test"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize

step "win64: build"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"

step "libraries: each depends only on those below it"
tools/check-layers build/win64

step "win64: test under 64-bit Wine"
tools/wine-run --arch win64 --init
ctest --preset win64

# The download as a user meets it: unpacked into an empty folder, every program run from there.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win64/CMakeCache.txt)
step "win64: the download build/dist/diskspace-$version-win64.zip, unpacked and run"
cmake --build --preset win64 --target dist
tools/check-package "build/dist/diskspace-$version-win64.zip"

step "win32: build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

# 32-bit Wine is a 32-bit Linux program: on a kernel whose 32-bit emulation is switched off
# (it then says "32-bit emulation disabled" in its log) nothing 32-bit starts. There the 32-bit
# program is still built and its download checked, and the runs under Wine are left out with a
# line saying so, instead of failing on the machine rather than on the program.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  step "win32: test under 32-bit Wine"
  tools/wine-run --arch win32 --init
  ctest --preset win32

  step "win32: the download build/dist/diskspace-$version-win32.zip, unpacked and run under 32-bit Wine"
  cmake --build --preset win32 --target dist
  tools/check-package "build/dist/diskspace-$version-win32.zip"
else
  step "win32: the download build/dist/diskspace-$version-win32.zip, unpacked (not run)"
  echo "SKIPPED: the win32 tests and runs under 32-bit Wine: this kernel starts no 32-bit program (its 32-bit emulation is off)"
  cmake --build --preset win32 --target dist
  tools/check-package --no-run "build/dist/diskspace-$version-win32.zip"
fi

# libFuzzer reads -max_total_time=0 as "no limit": 0 skips the step instead of never ending it.
# (The kept corpus of every target still ran in the native and sanitizer tests above.)
if [ "$fuzz_seconds" -eq 0 ]; then
  step "fuzz targets: skipped"
  echo "DS_FUZZ_SECONDS=0: the fuzz targets are not built or run"
else
  step "fuzz targets (clang, libFuzzer with address and undefined-behaviour sanitizers): $fuzz_seconds s each"
  # A run counts as hung after 30 s: the largest picture the readers accept (16 Mi pixels) takes
  # a few seconds to decode under the fuzz build's instrumentation, and longer on a busy machine.
  cmake --preset fuzz >/dev/null
  fuzz_targets=(fuzz_skin_folder fuzz_mask_gradient fuzz_bmp fuzz_jpeg)
  cmake --build --preset fuzz -j "$jobs" --target "${fuzz_targets[@]}"
  for t in "${fuzz_targets[@]}"; do
    mkdir -p "build/fuzz/work/$t"
    build/fuzz/tests/fuzz/$t -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=30 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/$t-" \
      "build/fuzz/work/$t" "tests/fuzz/corpus/$t" 2>"build/fuzz/$t.log" \
      || { tail -n 40 "build/fuzz/$t.log" >&2; echo "fuzz target $t found a fault" >&2; exit 1; }
    grep -E 'stat::number_of_executed_units' "build/fuzz/$t.log" | sed "s/^/$t: /"
  done
fi
