// Speed of the per-pixel painting routines over a 741 x 219 picture (the calculator window with
// its frame), as a ratio to memcpy of the same number of bytes measured in the same run, and in
// nanoseconds per pixel. The last line gives the largest ratio.
//
//   pixelbench               timings (best of batches taken in turn with memcpy batches)
//   pixelbench --once        every routine once, between callgrind markers:
//     valgrind --tool=callgrind --instr-atstart=no bench/pixelbench --once
//   writes one dump per routine; its "totals" divided by 162279 pixels is instructions per pixel.
#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr std::int32_t kWidth = 741;
constexpr std::int32_t kHeight = 219;
constexpr std::int64_t kPixels = static_cast<std::int64_t>(kWidth) * kHeight;

// Random bytes. With `keyRuns`, key-coloured runs of 4 to 27 pixels start at about one pixel in
// `keyRuns` (some 6 % of the pixels for 256): skins key whole areas (outside rounded corners,
// around glyphs), not scattered pixels.
void Noise(TPixelImage& img, std::uint32_t seed, int keyRuns) {
  std::mt19937 rng(seed);
  TPixelView v = img.View();
  for (std::int32_t y = 0; y < v.Height; ++y) {
    std::int32_t keyLeft = 0;
    for (std::int32_t x = 0; x < v.Width; ++x) {
      const auto n = static_cast<std::uint32_t>(rng());
      if (keyRuns != 0 && keyLeft == 0 && n % static_cast<std::uint32_t>(keyRuns) == 0)
        keyLeft = 4 + static_cast<std::int32_t>((n >> 24) % 24);
      std::uint8_t* p = v.Pixel(x, y);
      const bool key = keyLeft > 0;
      if (key) --keyLeft;
      p[0] = key ? 255 : static_cast<std::uint8_t>(n);
      p[1] = key ? 0 : static_cast<std::uint8_t>(n >> 8);
      p[2] = key ? 255 : static_cast<std::uint8_t>(n >> 16);
    }
  }
}

// Calls per batch so that a batch of `run` lasts some 20 ms.
int CallsPerBatch(const std::function<void()>& run) {
  using Clock = std::chrono::steady_clock;
  int calls = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) run();
    if (Clock::now() - t0 > std::chrono::milliseconds(20) || calls > (1 << 20)) return calls;
    calls *= 2;
  }
}

// Best times of one call of `run` and of the baseline, in nanoseconds, from batches of the two
// taken in turn: on a busy machine both see the same quiet and busy moments, so their ratio
// holds better than either time.
std::pair<double, double> BestNanosecondsBeside(const std::function<void()>& run, const std::function<void()>& base) {
  using Clock = std::chrono::steady_clock;
  const int runCalls = CallsPerBatch(run), baseCalls = CallsPerBatch(base);
  double bestRun = 1e300, bestBase = 1e300;
  auto batch = [](const std::function<void()>& f, int calls, double& best) {
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) f();
    const std::chrono::duration<double, std::nano> took = Clock::now() - t0;
    best = std::min(best, took.count() / calls);
  };
  for (int round = 0; round < 21; ++round) {
    batch(base, baseCalls, bestBase);
    batch(run, runCalls, bestRun);
  }
  return {bestRun, bestBase};
}

// Targets: 4 for plain and keyed copies (CopyTransRect, TileBitmap), 8 for everything that
// computes its pixels, the masked copies included (they mix every pixel through its mask).
struct TRoutine {
  const char* name;
  double target;  // largest acceptable ratio to memcpy
  std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv) {
  const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;

  TPixelImage dst(kWidth, kHeight), src(kWidth, kHeight), mask(kWidth, kHeight), parent(kWidth, kHeight);
  TPixelImage imageOverMask(kWidth, 2 * kHeight);
  Noise(dst, 1, 0);
  Noise(src, 2, 256);
  Noise(mask, 3, 0);
  Noise(parent, 4, 0);
  Noise(imageOverMask, 5, 256);
  const TCacheInfo parentCI{parent.View(), 0, 0, true};

  // A master bitmap of the internal skin's size, and one as large as the picture (image over
  // mask) for the piece copy.
  auto master = std::make_unique<TPixelImage>(304, 250);
  Noise(*master, 6, 256);
  auto largeMaster = std::make_unique<TPixelImage>(kWidth, 2 * kHeight);
  Noise(*largeMaster, 7, 256);
  TsMaskData button, edit, pattern, whole;
  button.R = {63, 72, 126, 114}, button.ImageCount = 3, button.MaskType = 1;
  edit.R = {120, 190, 195, 250}, edit.ImageCount = 1, edit.MaskType = 0;
  pattern.R = {252, 154, 304, 190}, pattern.ImageCount = 3, pattern.MaskType = 1;
  whole.R = {0, 0, kWidth, 2 * kHeight}, whole.ImageCount = 1, whole.MaskType = 1;

  TsGradArray rows, columns;
  PrepareGradArray("15259848;10315782;110;0;0;10315782;10315782;0;0;0", rows);
  PrepareGradArray(
      "16777215;15716271;15;1;0;15716271;13215350;72;1;0;13215350;16777215;11;1;0;16777215;16777215;0;1;0", columns);

  const TRect all{0, 0, kWidth, kHeight};
  const TPixelView d = dst.View();
  const std::size_t bytes = static_cast<std::size_t>(kPixels) * 3;
  std::vector<std::uint8_t> copyFrom(bytes, 1), copyTo(bytes);

  const std::vector<TRoutine> routines = {
      {"PaintGrad top-bottom", 8, [&] { PaintGrad(d, all, rows); }},
      {"PaintGrad left-right", 8, [&] { PaintGrad(d, all, columns); }},
      // Half and half is the exact mean; other percentages take the general kernel.
      {"BlendColorRect 50 %", 8, [&] { BlendColorRect(d, all, 50, 0x00C29B65); }},
      {"BlendColorRect 37 %", 8, [&] { BlendColorRect(d, all, 37, 0x00C29B65); }},
      {"SumBmpRect", 8, [&] { SumBmpRect(d, src.View(), {127, 127, 127, 0}, all, {0, 0}); }},
      {"SumBitmaps", 8, [&] { SumBitmaps(d, src.View(), {127, 127, 127, 0}); }},
      {"BlendBmpByMask", 8, [&] { BlendBmpByMask(d, mask.View(), {10, 20, 30, 0}); }},
      {"CopyByMask", 8, [&] { CopyByMask(all, all, d, imageOverMask.View(), parentCI); }},
      {"CopyTransRect", 4, [&] { CopyTransRect(d, src.View(), 0, 0, {0, 0, kWidth - 1, kHeight - 1}, clFuchsia, parentCI); }},
      {"BlendTransRectangle", 8,
       [&] { BlendTransRectangle(d, 0, 0, src.View(), {0, 0, kWidth - 1, kHeight - 1}, 0.5, {255, 0, 255, 0}); }},
      {"CopyMasterRect", 8,
       [&] {
         MasterBitmap.swap(largeMaster);
         CopyMasterRect(all, all, d, parentCI, whole);
         MasterBitmap.swap(largeMaster);
       }},
      {"DrawSkinRect button", 8, [&] { DrawSkinRect(d, all, true, parentCI, button, 1); }},
      {"DrawSkinRect edit", 8, [&] { DrawSkinRect(d, all, true, parentCI, edit, 0); }},
      {"TileBitmap", 4, [&] { TileBitmap(d, all, {}, pattern); }},
  };
  MasterBitmap = std::move(master);

  if (once) {
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    std::memcpy(copyTo.data(), copyFrom.data(), bytes);
    CALLGRIND_DUMP_STATS_AT("memcpy");
    for (const TRoutine& r : routines) {
      r.run();
      CALLGRIND_DUMP_STATS_AT(r.name);
    }
    CALLGRIND_STOP_INSTRUMENTATION;
    return 0;
  }

  auto copy = [&] {
    std::memcpy(copyTo.data(), copyFrom.data(), bytes);
    __asm__ __volatile__("" : : "r"(copyTo.data()) : "memory");  // keep the copy
  };
  std::vector<std::pair<double, double>> times;  // routine, memcpy beside it
  for (const TRoutine& r : routines) times.push_back(BestNanosecondsBeside(r.run, copy));
  double memcpyNs = 1e300;
  for (const auto& t : times) memcpyNs = std::min(memcpyNs, t.second);
  std::printf("%d x %d pixels; memcpy of %zu bytes: %.1f us (%.3f ns/pixel)\n", kWidth, kHeight, bytes,
              memcpyNs / 1000, memcpyNs / static_cast<double>(kPixels));
  std::printf("%-24s %8s %8s %8s\n", "routine", "ratio", "target", "ns/pixel");
  double worst = 0;
  for (std::size_t i = 0; i < routines.size(); ++i) {
    const double ratio = times[i].first / times[i].second;
    worst = std::max(worst, ratio);
    std::printf("%-24s %8.2f %8.0f %8.3f%s\n", routines[i].name, ratio, routines[i].target,
                times[i].first / static_cast<double>(kPixels), ratio > routines[i].target ? "  over target" : "");
  }
  std::printf("worst ratio to memcpy: %.2f\n", worst);
  return 0;
}
