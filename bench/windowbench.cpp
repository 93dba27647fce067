// Times the calculator window in one run, skinned against the same window with no skin active,
// and prints each figure as a ratio to its baseline and to its target:
// - start-up: creating the window to the end of its first complete paint (target 1.5 times
//   the window without a skin);
// - full repaint of the window, frame and every child (target: no slower than without a skin);
// - a skin switch through the five stored skins, from choosing the skin to the end of the
//   repaint (target: median under one frame, 16 ms), also as a ratio to the unskinned repaint;
// - one step of the first scroll bar, to the bar and its edit repainted (target: one frame),
//   also as a ratio to the same step without a skin.
// The windows are made and measured in alternating batches, so that the machine's load falls
// on both alike; each time is the median of its batch medians, each ratio the median of the
// rounds' ratios.
//
//   windowbench [ROUNDS]   ROUNDS batches of each kind (default 5), 100 skin switches in all
//   windowbench --profile [SWITCHES]   where a skin switch spends its time (default 25)
//   windowbench --messages   the window messages that each kind of work sends
//   windowbench --loop repaint|switch|scroll[-unskinned] [SECONDS]   only that, for a profiler
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/Endurance.h"
#include "skin/data/sSkinData.h"
#include "skin/data/win/sMessagesWin.h"

namespace {

using bench::Median;
using bench::Milliseconds;
using bench::TBenchWindow;

constexpr int kRepaintsPerBatch = 15;
constexpr int kScrollStepsPerBatch = 15;
constexpr int kSwitches = 100;
constexpr double kFrameMs = 16.0;

void FullRepaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
}

struct TSamples {
  std::vector<double> Startup;         // one per window
  std::vector<double> RepaintBatches;  // batch medians
  std::vector<double> ScrollBatches;   // batch medians
  std::vector<double> Switches;        // every switch
  std::vector<bool> Foreground;        // the window was the active one when measured
};

// One window of each kind per round: start-up, a batch of full repaints, a batch of scroll
// steps, and for the skinned one its share of the switches.
void MeasureRound(bool skinned, int switches, TSamples& samples) {
  TBenchWindow calculator(skinned);
  samples.Startup.push_back(calculator.StartupMs);
  HWND window = calculator.Window();
  samples.Foreground.push_back(GetForegroundWindow() == window);
  TForm1& form = calculator.Form();

  std::vector<double> repaints;
  FullRepaint(window);
  for (int i = 0; i < kRepaintsPerBatch; ++i) {
    const double start = Milliseconds();
    FullRepaint(window);
    repaints.push_back(Milliseconds() - start);
  }
  samples.RepaintBatches.push_back(Median(repaints));

  std::vector<double> steps;
  const int base = form.ScrollBar1->Position();
  for (int i = 0; i < kScrollStepsPerBatch; ++i) {
    const int target = i % 2 == 0 ? (base < form.ScrollBar1->Max() ? base + 1 : base - 1) : base;
    const double start = Milliseconds();
    form.ScrollBar1->SetPosition(target);
    endurance::FinishPainting(window);
    steps.push_back(Milliseconds() - start);
  }
  samples.ScrollBatches.push_back(Median(steps));

  for (int i = 0; i < switches; ++i) {
    const char* name = endurance::kStoredSkins[(i + 1) % endurance::kSkinCount];
    const double start = Milliseconds();
    form.sSkinManager1->SetSkinName(name);
    endurance::FinishPainting(window);
    samples.Switches.push_back(Milliseconds() - start);
  }
}

// The messages sent to the calculator's windows while the hook lives, by receiver class and
// message, to see what a step of work costs in window traffic (each message to a framework
// window looks its control up through a window property, one wineserver call under Wine).
class TMessageCounter {
 public:
  TMessageCounter() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &TMessageCounter::Sent, nullptr, GetCurrentThreadId());
  }
  TMessageCounter(const TMessageCounter&) = delete;
  TMessageCounter& operator=(const TMessageCounter&) = delete;
  ~TMessageCounter() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  // Messages of that number sent to any window so far.
  int Count(UINT message) const {
    int count = 0;
    char number[16];
    std::snprintf(number, sizeof(number), " 0x%04X", message);
    for (const auto& [key, n] : counts_)
      if (key.ends_with(number)) count += n;
    return count;
  }
  void Print(int steps) const {
    std::vector<std::pair<int, std::string>> sorted;
    int total = 0;
    for (const auto& [key, count] : counts_) {
      sorted.emplace_back(count, key);
      total += count;
    }
    std::sort(sorted.rbegin(), sorted.rend());
    std::printf("  %.1f messages per step; the most frequent:\n", static_cast<double>(total) / steps);
    for (std::size_t i = 0; i < sorted.size() && i < 14; ++i)
      std::printf("    %7.1f  %s\n", static_cast<double>(sorted[i].first) / steps, sorted[i].second.c_str());
  }

 private:
  static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && current_ != nullptr) {
      const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
      const TWinControl* control = TWinControl::FindControl(sent->hwnd);
      std::string name = control != nullptr ? typeid(*control).name() : "other";
      char number[16];
      std::snprintf(number, sizeof(number), " 0x%04X", sent->message);
      ++current_->counts_[name + number];
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TMessageCounter* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::map<std::string, int> counts_;
};

// Where a skin switch spends its time: the manager's steps one by one, as SendNewSkin takes
// them (loading the arrays, the new-skin announcement, the repaint announcement receiver by
// receiver, grouped by class), then what is left to paint after them.
void ProfileSwitches(int switches, bool countPaints) {
  TBenchWindow calculator(true);
  TForm1& form = calculator.Form();
  HWND window = calculator.Window();
  TsSkinManager& manager = *form.sSkinManager1;
  double load = 0, newSkin = 0, repaintForm = 0, rest = 0;
  int paintsForm = 0, paintsChildren = 0, paintsRest = 0;
  std::map<std::string, std::pair<double, int>> byClass;
  for (int i = 0; i < switches; ++i) {
    const char* name = endurance::kStoredSkins[(i + 1) % endurance::kSkinCount];
    double start = Milliseconds();
    NonAutoUpdate = true;
    manager.SetSkinName(name);
    NonAutoUpdate = false;
    load += Milliseconds() - start;

    start = Milliseconds();
    sSkinData->Active = false;
    RestrictDrawing = true;
    TMessage message{SKM_NEWSKIN, 0, reinterpret_cast<LPARAM>(&manager), 0};
    AppBroadCastS(message);
    manager.InitConstantIndexes();
    RestrictDrawing = false;
    sSkinData->Active = true;
    newSkin += Milliseconds() - start;

    start = Milliseconds();
    // The hook slows every message down: it runs only in the pass that counts.
    auto count = [&] { return countPaints ? std::make_unique<TMessageCounter>() : nullptr; };
    auto paints = [&](const std::unique_ptr<TMessageCounter>& c) { return c ? c->Count(WM_PAINT) : 0; };
    auto counter = count();
    SendSkinMessage(&form, SKM_REPAINT, 0, reinterpret_cast<LPARAM>(&manager));
    repaintForm += Milliseconds() - start;
    paintsForm += paints(counter);
    counter = count();
    for (int c = 0; c < form.ComponentCount(); ++c) {
      auto* control = dynamic_cast<TControl*>(form.Components(c));
      if (control == nullptr) continue;
      start = Milliseconds();
      SendSkinMessage(control, SKM_REPAINT, 0, reinterpret_cast<LPARAM>(&manager));
      auto& entry = byClass[typeid(*control).name()];
      entry.first += Milliseconds() - start;
      ++entry.second;
    }
    paintsChildren += paints(counter);
    counter = count();
    start = Milliseconds();
    endurance::FinishPainting(window);
    rest += Milliseconds() - start;
    paintsRest += paints(counter);
  }
  const double n = switches;
  if (countPaints) {
    std::printf("WM_PAINT sent per switch: %.1f by the form's repaint, %.1f by the controls' repaints, "
                "%.1f after them\n",
                paintsForm / static_cast<double>(switches), paintsChildren / static_cast<double>(switches),
                paintsRest / static_cast<double>(switches));
    return;
  }
  std::printf("profile of %d skin switches, ms per switch:\n", switches);
  std::printf("  loading the skin arrays          %8.2f\n", load / n);
  std::printf("  new-skin announcement            %8.2f\n", newSkin / n);
  std::printf("  repaint: the form (its provider) %8.2f\n", repaintForm / n);
  for (const auto& [cls, entry] : byClass)
    std::printf("  repaint: %2d x %-22s %8.2f\n", entry.second / switches, cls.c_str(), entry.first / n);
  std::printf("  painting what was left           %8.2f\n", rest / n);
}

void CountMessages() {
  for (const bool skinned : {false, true}) {
    TBenchWindow calculator(skinned);
    TForm1& form = calculator.Form();
    HWND window = calculator.Window();
    constexpr int kSteps = 10;
    {
      std::printf("full repaint, %s:\n", skinned ? "skinned" : "unskinned");
      TMessageCounter counter;
      for (int i = 0; i < kSteps; ++i) FullRepaint(window);
      counter.Print(kSteps);
    }
    if (skinned) {
      std::printf("skin switch:\n");
      TMessageCounter counter;
      for (int i = 0; i < kSteps; ++i) {
        form.sSkinManager1->SetSkinName(endurance::kStoredSkins[(i + 1) % endurance::kSkinCount]);
        endurance::FinishPainting(window);
      }
      counter.Print(kSteps);
    }
    {
      std::printf("scroll step, %s:\n", skinned ? "skinned" : "unskinned");
      TMessageCounter counter;
      for (int i = 0; i < kSteps; ++i) {
        form.ScrollBar1->SetPosition(i % 2 == 0 ? 11 : 10);
        endurance::FinishPainting(window);
      }
      counter.Print(kSteps);
    }
  }
}

// Repeats one kind of work on the skinned window for a while, for a sampling profiler run on
// the Wine process.
void Loop(std::string kind, double seconds) {
  const bool skinned = !kind.ends_with("-unskinned");
  if (!skinned) kind.resize(kind.size() - std::string_view("-unskinned").size());
  TBenchWindow calculator(skinned);
  TForm1& form = calculator.Form();
  HWND window = calculator.Window();
  const double end = Milliseconds() + 1000 * seconds;
  int i = 0;
  for (; Milliseconds() < end; ++i) {
    if (kind == "switch") {
      form.sSkinManager1->SetSkinName(endurance::kStoredSkins[(i + 1) % endurance::kSkinCount]);
      endurance::FinishPainting(window);
    } else if (kind == "scroll") {
      form.ScrollBar1->SetPosition(i % 2 == 0 ? 11 : 10);
      endurance::FinishPainting(window);
    } else {
      FullRepaint(window);
    }
  }
  std::printf("%d times %s\n", i, kind.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--profile") {
    const int switches = argc > 2 ? std::max(1, std::atoi(argv[2])) : 25;
    ProfileSwitches(switches, false);
    ProfileSwitches(switches, true);
    return 0;
  }
  if (argc > 1 && std::string(argv[1]) == "--messages") {
    CountMessages();
    return 0;
  }
  if (argc > 2 && std::string(argv[1]) == "--loop") {
    Loop(argv[2], argc > 3 ? std::atof(argv[3]) : 10);
    return 0;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::printf("windowbench: %d-bit, %d rounds, load before: %s\n", static_cast<int>(8 * sizeof(void*)), rounds,
              bench::MachineLoad().c_str());

  // One window of each kind first, not counted: the first of anything pays for fonts,
  // classes and the skins' pictures being decoded.
  {
    TSamples discarded;
    MeasureRound(false, 0, discarded);
    MeasureRound(true, endurance::kSkinCount, discarded);
  }

  TSamples plain, skinned;
  for (int round = 0; round < rounds; ++round) {
    const int switches = kSwitches / rounds + (round < kSwitches % rounds ? 1 : 0);
    MeasureRound(false, 0, plain);
    MeasureRound(true, switches, skinned);
  }

  const double plainStartup = Median(plain.Startup), skinnedStartup = Median(skinned.Startup);
  const double plainRepaint = Median(plain.RepaintBatches), skinnedRepaint = Median(skinned.RepaintBatches);
  const double plainScroll = Median(plain.ScrollBatches), skinnedScroll = Median(skinned.ScrollBatches);
  const double switchMedian = Median(skinned.Switches), switchWorst = bench::Worst(skinned.Switches);

  // Each ratio is the median of the rounds' own ratios: the two windows of a round are measured
  // within a second of each other, so that the other work on the machine (which slows every
  // call to the Wine server alike) falls on both.
  auto pairedRatio = [](const std::vector<double>& skinnedValues, const std::vector<double>& plainValues) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < skinnedValues.size() && i < plainValues.size(); ++i)
      ratios.push_back(skinnedValues[i] / plainValues[i]);
    return Median(ratios);
  };
  const double startupRatio = pairedRatio(skinned.Startup, plain.Startup);
  const double repaintRatio = pairedRatio(skinned.RepaintBatches, plain.RepaintBatches);
  const double switchRatio = switchMedian / plainRepaint;
  const double scrollRatio = pairedRatio(skinned.ScrollBatches, plain.ScrollBatches);

  struct TTarget {
    const char* Name;
    double ToTarget;
  };
  const TTarget targets[] = {{"start-up", startupRatio / 1.5},
                             {"full repaint", repaintRatio / 1.0},
                             {"skin switch", switchMedian / kFrameMs},
                             {"scroll step", skinnedScroll / kFrameMs}};

  std::printf("start-up:      skinned %8.2f ms, unskinned %8.2f ms: ratio %.2f (target <= 1.5)\n", skinnedStartup,
              plainStartup, startupRatio);
  std::printf("full repaint:  skinned %8.3f ms, unskinned %8.3f ms: ratio %.2f (target <= 1.0)\n", skinnedRepaint,
              plainRepaint, repaintRatio);
  std::printf("skin switch:   %zu switches, median %.2f ms, worst %.2f ms (target median < %.0f ms); "
              "ratio to the unskinned full repaint %.2f\n",
              skinned.Switches.size(), switchMedian, switchWorst, kFrameMs, switchRatio);
  // Without a skin the bar repaints only itself: it notifies nothing, so its edit keeps its text.
  std::printf("scroll step:   skinned %8.3f ms, unskinned (the bar alone) %8.3f ms: ratio %.2f (target: under one "
              "frame, %.0f ms)\n",
              skinnedScroll, plainScroll, scrollRatio, kFrameMs);
  double worst = 0;
  for (const TTarget& target : targets) {
    std::printf("  %-13s ratio to target %.2f\n", target.Name, target.ToTarget);
    worst = std::max(worst, target.ToTarget);
  }
  auto foreground = [](const std::vector<bool>& f) { return std::count(f.begin(), f.end(), true); };
  std::printf("windows in the foreground: %lld of %zu unskinned, %lld of %zu skinned\n",
              static_cast<long long>(foreground(plain.Foreground)), plain.Foreground.size(),
              static_cast<long long>(foreground(skinned.Foreground)), skinned.Foreground.size());
  std::printf("load after: %s\n", bench::MachineLoad().c_str());
  std::printf("worst ratio to target: %.2f\n", worst);
  return 0;
}
