// Times the calculator window in one run, skinned against the same window with no skin active,
// and prints each figure as a ratio to its baseline and to its target, and beside it the window
// traffic of one such piece of work: windows made, window messages (sent, and taken from the
// queue) and window-server requests:
// - start-up: creating the window to the end of its first complete paint (target 1.5 times
//   the window without a skin); also from asking for a new process to its window painted, one
//   process of each kind per round;
// - full repaint of the window, frame and every child (target: no slower than without a skin);
// - a skin switch through the five stored skins, from choosing the skin to the end of the
//   repaint (target: median under one frame, 16 ms, and no more than two unskinned repaints);
// - one step of the first scroll bar, to the bar and its edit repainted (target: one frame),
//   also as a ratio to the same step without a skin;
// - the cost of one window-server round trip, to put the requests into milliseconds.
// The windows are made and measured in alternating batches, so that the machine's load falls
// on both alike; each time is the median of its batch medians, each ratio the median of the
// rounds' ratios. Messages are counted by hooks in a pass of their own after the timed rounds
// (a hook slows every message down). Server requests cannot be counted in-process: they come
// from Wine's server trace, counted by bench/windowbench.sh in runs of their own (--trace-run)
// and handed in with --requests.
//
// Run it pinned to one core (taskset -c 0; bench/windowbench.sh does): a round trip to the
// server costs many times more when the server wakes on the other, idle core.
//
//   windowbench [ROUNDS] [--requests LIST]   ROUNDS rounds (default 5), 100 skin switches in all
//   windowbench --profile [SWITCHES]   where a skin switch spends its time (default 25)
//   windowbench --messages   the window messages that each kind of work sends
//   windowbench --loop repaint|switch|scroll[-unskinned] [SECONDS]   only that, for a profiler
//   windowbench --trace-run startup|launch|repaint|switch|roundtrip [--unskinned]   one piece of
//     work between two marks in the server trace (a launch: the process's first window)
#include <windows.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/Endurance.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sMessagesWin.h"

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
  std::vector<double> SwitchBatches;   // the round's median switch, for the skinned window
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

  std::vector<double> switchTimes;
  for (int i = 0; i < switches; ++i) {
    const char* name = endurance::kStoredSkins[(i + 1) % endurance::kSkinCount];
    const double start = Milliseconds();
    form.sSkinManager1->SetSkinName(name);
    endurance::FinishPainting(window);
    switchTimes.push_back(Milliseconds() - start);
  }
  if (!switchTimes.empty()) samples.SwitchBatches.push_back(Median(switchTimes));
  samples.Switches.insert(samples.Switches.end(), switchTimes.begin(), switchTimes.end());
}

// The window traffic while a counter lives, by receiver class and message: the messages sent
// to the calculator's windows and those taken from its queue, and the windows made meanwhile.
// Each message to a framework window looks its control up through a window property, one
// wineserver call under Wine. The hooks themselves call the server on every message, so that
// nothing counted is ever timed. Counters may overlap in any order (one made before the last
// one is freed): one set of hooks serves every living counter, removed with the last of them.
class TMessageCounter {
 public:
  TMessageCounter() {
    if (living_.empty()) {
      const DWORD thread = GetCurrentThreadId();
      sentHook_ = SetWindowsHookExW(WH_CALLWNDPROC, &TMessageCounter::Sent, nullptr, thread);
      takenHook_ = SetWindowsHookExW(WH_GETMESSAGE, &TMessageCounter::Taken, nullptr, thread);
      madeHook_ = SetWindowsHookExW(WH_CBT, &TMessageCounter::Made, nullptr, thread);
    }
    living_.push_back(this);
  }
  TMessageCounter(const TMessageCounter&) = delete;
  TMessageCounter& operator=(const TMessageCounter&) = delete;
  ~TMessageCounter() {
    std::erase(living_, this);
    if (living_.empty()) {
      UnhookWindowsHookEx(sentHook_);
      UnhookWindowsHookEx(takenHook_);
      UnhookWindowsHookEx(madeHook_);
      sentHook_ = takenHook_ = madeHook_ = nullptr;
    }
  }
  // Messages of that number sent or taken from the queue, to any window, so far.
  int Count(UINT message) const {
    int count = 0;
    char number[16];
    std::snprintf(number, sizeof(number), " 0x%04X", message);
    for (const auto& [key, n] : counts_)
      if (key.ends_with(number)) count += n;
    return count;
  }
  // Every message so far, sent or taken from the queue.
  int Messages() const {
    int total = 0;
    for (const auto& entry : counts_) total += entry.second;
    return total;
  }
  // Windows made so far, and windows destroyed (each is told once, by WM_DESTROY).
  int Windows() const { return windows_; }
  int Destroyed() const { return Count(WM_DESTROY); }
  void Print(int steps) const {
    std::vector<std::pair<int, std::string>> sorted;
    for (const auto& [key, count] : counts_) sorted.emplace_back(count, key);
    std::sort(sorted.rbegin(), sorted.rend());
    std::printf("  %.1f messages per step; the most frequent:\n", static_cast<double>(Messages()) / steps);
    for (std::size_t i = 0; i < sorted.size() && i < 14; ++i)
      std::printf("    %7.1f  %s\n", static_cast<double>(sorted[i].first) / steps, sorted[i].second.c_str());
  }

 private:
  static void Add(const char* how, HWND window, UINT message) {
    const TWinControl* control = TWinControl::FindControl(window);
    std::string name = control != nullptr ? typeid(*control).name() : "other";
    char number[16];
    std::snprintf(number, sizeof(number), " 0x%04X", message);
    const std::string key = how + name + number;
    for (TMessageCounter* counter : living_) ++counter->counts_[key];
  }
  static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
      const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
      Add("", sent->hwnd, sent->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  // A message leaving the queue (a look that leaves it there is not counted).
  static LRESULT CALLBACK Taken(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
      const auto* taken = reinterpret_cast<const MSG*>(lParam);
      Add("queued ", taken->hwnd, taken->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK Made(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND)
      for (TMessageCounter* counter : living_) ++counter->windows_;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline std::vector<TMessageCounter*> living_;
  static inline HHOOK sentHook_ = nullptr, takenHook_ = nullptr, madeHook_ = nullptr;
  std::map<std::string, int> counts_;
  int windows_ = 0;
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
  int messagesForm = 0, messagesChildren = 0, messagesRest = 0;
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
    auto messages = [&](const std::unique_ptr<TMessageCounter>& c) { return c ? c->Messages() : 0; };
    auto counter = count();
    SendSkinMessage(&form, SKM_REPAINT, 0, reinterpret_cast<LPARAM>(&manager));
    repaintForm += Milliseconds() - start;
    paintsForm += paints(counter);
    messagesForm += messages(counter);
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
    messagesChildren += messages(counter);
    counter = count();
    start = Milliseconds();
    endurance::FinishPainting(window);
    rest += Milliseconds() - start;
    paintsRest += paints(counter);
    messagesRest += messages(counter);
  }
  const double n = switches;
  if (countPaints) {
    std::printf("WM_PAINT per switch: %.1f by the form's repaint, %.1f by the controls' repaints, "
                "%.1f after them\n",
                paintsForm / static_cast<double>(switches), paintsChildren / static_cast<double>(switches),
                paintsRest / static_cast<double>(switches));
    std::printf("messages per switch: %.1f by the form's repaint, %.1f by the controls' repaints, %.1f after them\n",
                messagesForm / n, messagesChildren / n, messagesRest / n);
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

// The window traffic of one start-up, one full repaint and, for the skinned window, one skin
// switch, counted on warm windows (an earlier one has paid for fonts, classes and decoded
// pictures), as the timed rounds measure them.
struct TTraffic {
  int StartupMessages = 0, StartupWindows = 0, StartupDestroyed = 0, RepaintMessages = 0, SwitchMessages = 0;
};

TTraffic CountTraffic(bool skinned) {
  TTraffic traffic;
  auto counter = std::make_unique<TMessageCounter>();
  TBenchWindow calculator(skinned);
  traffic.StartupMessages = counter->Messages();
  traffic.StartupWindows = counter->Windows();
  traffic.StartupDestroyed = counter->Destroyed();
  HWND window = calculator.Window();
  FullRepaint(window);
  counter = std::make_unique<TMessageCounter>();
  FullRepaint(window);
  traffic.RepaintMessages = counter->Messages();
  counter.reset();
  if (skinned) {
    TForm1& form = calculator.Form();
    for (int i = 1; i <= endurance::kSkinCount; ++i) {
      form.sSkinManager1->SetSkinName(endurance::kStoredSkins[i % endurance::kSkinCount]);
      endurance::FinishPainting(window);
    }
    counter = std::make_unique<TMessageCounter>();
    form.sSkinManager1->SetSkinName(endurance::kStoredSkins[1]);
    endurance::FinishPainting(window);
    traffic.SwitchMessages = counter->Messages();
  }
  return traffic;
}

// A call that costs exactly one window-server request under Wine (checked by the server trace:
// `windowbench.sh` prints the requests a call), for the cost of one round trip.
HWND ServerRoundTrip() { return GetForegroundWindow(); }
constexpr int kRoundTripCalls = 2000;

// Microseconds per call, the median of the batches.
double MeasureRoundTrip(int batches) {
  std::vector<double> perCall;
  for (int b = 0; b < batches; ++b) {
    const double start = Milliseconds();
    for (int i = 0; i < kRoundTripCalls; ++i) ServerRoundTrip();
    perCall.push_back(1000 * (Milliseconds() - start) / kRoundTripCalls);
  }
  return Median(perCall);
}

// Marks a place in Wine's server trace (WINEDEBUG=+server): the named event's creation is one
// request that names it. The handle stays open until the run ends, so that no closing request
// falls between the marks.
HANDLE TraceMark(const wchar_t* name) { return CreateEventW(nullptr, TRUE, FALSE, name); }

// Exactly one piece of work between the marks "windowbench-trace-begin" and
// "windowbench-trace-end", for bench/windowbench.sh to count its server requests; the same
// warm-up as the counted traffic comes before the first mark.
int TraceRun(const std::string& kind, bool skinned) {
  HANDLE begin = nullptr, end = nullptr;
  auto mark = [&](bool first) {
    (first ? begin : end) = TraceMark(first ? L"windowbench-trace-begin" : L"windowbench-trace-end");
  };
  if (kind == "startup" || kind == "launch") {
    // A launch is the first window of the process, as a user's start-up makes it.
    if (kind == "startup") {
      TBenchWindow warmUp(skinned);
    }
    mark(true);
    TBenchWindow calculator(skinned);
    mark(false);
  } else if (kind == "repaint" || kind == "switch") {
    TBenchWindow calculator(skinned);
    HWND window = calculator.Window();
    FullRepaint(window);
    if (kind == "repaint") {
      mark(true);
      FullRepaint(window);
      mark(false);
    } else {
      TForm1& form = calculator.Form();
      for (int i = 1; i <= endurance::kSkinCount; ++i) {
        form.sSkinManager1->SetSkinName(endurance::kStoredSkins[i % endurance::kSkinCount]);
        endurance::FinishPainting(window);
      }
      mark(true);
      form.sSkinManager1->SetSkinName(endurance::kStoredSkins[1]);
      endurance::FinishPainting(window);
      mark(false);
    }
  } else if (kind == "roundtrip") {
    ServerRoundTrip();
    mark(true);
    for (int i = 0; i < 1000; ++i) ServerRoundTrip();
    mark(false);
  } else {
    std::fprintf(stderr, "windowbench: unknown trace run '%s' (startup, launch, repaint, switch, roundtrip)\n", kind.c_str());
    return 2;
  }
  CloseHandle(begin);
  CloseHandle(end);
  return 0;
}

// The child of a process start-up: the window built, shown, painted and on the screen, then the
// parent's event set.
int StartupChild(bool skinned, const std::wstring& eventName) {
  TBenchWindow calculator(skinned);
  // A wait for input, as the program's message loop makes next: there the display driver hands
  // the painted window to the screen.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  HANDLE painted = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
  if (painted == nullptr) return -1;
  SetEvent(painted);
  CloseHandle(painted);
  return 0;
}

// One process start-up: from asking for the process to its window painted (the child's event),
// in milliseconds; 0 when the child failed.
double ProcessStartup(bool skinned) {
  static int launches = 0;
  const std::wstring eventName =
      L"windowbench-painted-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++launches);
  HANDLE painted = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(program) + L"\" --startup-child " +
                         (skinned ? L"skinned " : L"unskinned ") + eventName;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  double ms = 0;
  const double start = Milliseconds();
  if (CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    HANDLE waits[] = {painted, process.hProcess};
    if (WaitForMultipleObjects(2, waits, FALSE, 120000) == WAIT_OBJECT_0) ms = Milliseconds() - start;
    WaitForSingleObject(process.hProcess, 120000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(painted);
  return ms;
}

// Server requests counted from the trace by bench/windowbench.sh, given as
// --requests NAME=N,NAME=N,... (startup-, launch- and repaint-skinned and -unskinned,
// switch-skinned, roundtrip: requests per 1,000 calls).
std::map<std::string, double> ParseRequests(const std::string& list) {
  std::map<std::string, double> requests;
  std::size_t at = 0;
  while (at < list.size()) {
    std::size_t comma = list.find(',', at);
    if (comma == std::string::npos) comma = list.size();
    const std::string item = list.substr(at, comma - at);
    const std::size_t equals = item.find('=');
    if (equals != std::string::npos) requests[item.substr(0, equals)] = std::atof(item.c_str() + equals + 1);
    at = comma + 1;
  }
  return requests;
}

void Usage() {
  std::fprintf(stderr,
               "usage: taskset -c 0 tools/wine-run windowbench.exe [ROUNDS] [--requests LIST]\n"
               "       windowbench --profile [SWITCHES] | --messages | --loop KIND [SECONDS]\n"
               "       windowbench --trace-run startup|launch|repaint|switch|roundtrip [--unskinned]\n"
               "Run it pinned to one core (taskset -c 0): a server round trip costs many times more when\n"
               "the server runs on an idle second core. bench/windowbench.sh does that, and counts the\n"
               "window-server requests from Wine's server trace first.\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--help" || mode == "-h") {
    Usage();
    return 0;
  }
  if (mode == "--profile") {
    const int switches = argc > 2 ? std::max(1, std::atoi(argv[2])) : 25;
    ProfileSwitches(switches, false);
    ProfileSwitches(switches, true);
    return 0;
  }
  if (mode == "--messages") {
    CountMessages();
    return 0;
  }
  if (mode == "--loop" && argc > 2) {
    Loop(argv[2], argc > 3 ? std::atof(argv[3]) : 10);
    return 0;
  }
  if (mode == "--trace-run" && argc > 2) return TraceRun(argv[2], !(argc > 3 && std::string(argv[3]) == "--unskinned"));
  if (mode == "--startup-child" && argc > 3) return StartupChild(std::string(argv[2]) == "skinned", Widen(argv[3]));

  int rounds = 5;
  std::map<std::string, double> requests;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--requests" && i + 1 < argc) {
      requests = ParseRequests(argv[++i]);
    } else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos) {
      rounds = std::max(1, std::atoi(arg.c_str()));
    } else {
      Usage();
      return 2;
    }
  }
  DWORD_PTR processCores = 0, systemCores = 0;
  GetProcessAffinityMask(GetCurrentProcess(), &processCores, &systemCores);
  const int cores = std::popcount(static_cast<std::uint64_t>(processCores));
  std::printf("windowbench: %d-bit, %d rounds, on %d core%s, load before: %s\n", static_cast<int>(8 * sizeof(void*)),
              rounds, cores, cores == 1 ? "" : "s (not pinned: run it under taskset -c 0)", bench::MachineLoad().c_str());

  // One window of each kind first, not counted: the first of anything pays for fonts,
  // classes and the skins' pictures being decoded.
  {
    TSamples discarded;
    MeasureRound(false, 0, discarded);
    MeasureRound(true, endurance::kSkinCount, discarded);
  }

  // Each round measures both windows, in-process and as a new process, and the server's round
  // trip, within a few seconds, so that the other work on the machine falls on all alike.
  TSamples plain, skinned;
  std::vector<double> plainLaunch, skinnedLaunch, roundTrips;
  for (int round = 0; round < rounds; ++round) {
    const int switches = kSwitches / rounds + (round < kSwitches % rounds ? 1 : 0);
    roundTrips.push_back(MeasureRoundTrip(3));
    MeasureRound(false, 0, plain);
    MeasureRound(true, switches, skinned);
    const double plainMs = ProcessStartup(false), skinnedMs = ProcessStartup(true);
    if (plainMs > 0 && skinnedMs > 0) {  // a pair or nothing
      plainLaunch.push_back(plainMs);
      skinnedLaunch.push_back(skinnedMs);
    }
  }
  const TTraffic plainTraffic = CountTraffic(false), skinnedTraffic = CountTraffic(true);

  const double plainStartup = Median(plain.Startup), skinnedStartup = Median(skinned.Startup);
  const double plainRepaint = Median(plain.RepaintBatches), skinnedRepaint = Median(skinned.RepaintBatches);
  const double plainScroll = Median(plain.ScrollBatches), skinnedScroll = Median(skinned.ScrollBatches);
  const double switchMedian = Median(skinned.Switches), switchWorst = bench::Worst(skinned.Switches);
  const double roundTrip = Median(roundTrips);

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
  const double launchRatio = pairedRatio(skinnedLaunch, plainLaunch);
  const double repaintRatio = pairedRatio(skinned.RepaintBatches, plain.RepaintBatches);
  const double switchRatio = pairedRatio(skinned.SwitchBatches, plain.RepaintBatches);
  const double scrollRatio = pairedRatio(skinned.ScrollBatches, plain.ScrollBatches);

  struct TTarget {
    const char* Name;
    double ToTarget;
  };
  const TTarget targets[] = {{"start-up", startupRatio / 1.5},
                             {"full repaint", repaintRatio / 1.0},
                             {"skin switch", switchMedian / kFrameMs},
                             {"switch/repaint", switchRatio / 2.0},
                             {"scroll step", skinnedScroll / kFrameMs}};

  // The requests of one piece of work, and what they cost at the measured round trip.
  auto requestsOf = [&](const char* name) {
    const auto found = requests.find(name);
    if (found == requests.end()) return std::string("? requests");
    char text[64];
    std::snprintf(text, sizeof(text), "%.0f requests (%.1f ms)", found->second, found->second * roundTrip / 1000);
    return std::string(text);
  };
  if (requests.contains("roundtrip"))
    std::printf("server round trip: %.1f us (GetForegroundWindow, %.2f requests a call by the trace)\n", roundTrip,
                requests["roundtrip"] / 1000);
  else
    std::printf("server round trip: %.1f us (GetForegroundWindow; requests not counted)\n", roundTrip);
  std::printf("start-up:      skinned %8.2f ms, unskinned %8.2f ms: ratio %.2f (target <= 1.5)\n", skinnedStartup,
              plainStartup, startupRatio);
  // Windows made at start-up, and how many of them were destroyed again before it ended.
  std::printf("  one start-up:  skinned %d windows made (%d destroyed), %d messages, %s; unskinned %d windows made "
              "(%d destroyed), %d messages, %s\n",
              skinnedTraffic.StartupWindows, skinnedTraffic.StartupDestroyed, skinnedTraffic.StartupMessages,
              requestsOf("startup-skinned").c_str(), plainTraffic.StartupWindows, plainTraffic.StartupDestroyed,
              plainTraffic.StartupMessages, requestsOf("startup-unskinned").c_str());
  std::printf("  from process start to painted: skinned %8.2f ms, unskinned %8.2f ms: ratio %.2f (%zu pairs); "
              "the process's first window: skinned %s, unskinned %s\n",
              Median(skinnedLaunch), Median(plainLaunch), launchRatio, skinnedLaunch.size(),
              requestsOf("launch-skinned").c_str(), requestsOf("launch-unskinned").c_str());
  std::printf("full repaint:  skinned %8.3f ms, unskinned %8.3f ms: ratio %.2f (target <= 1.0)\n", skinnedRepaint,
              plainRepaint, repaintRatio);
  std::printf("  one repaint:   skinned %d messages, %s; unskinned %d messages, %s\n", skinnedTraffic.RepaintMessages,
              requestsOf("repaint-skinned").c_str(), plainTraffic.RepaintMessages, requestsOf("repaint-unskinned").c_str());
  std::printf("skin switch:   %zu switches, median %.2f ms, worst %.2f ms (target median < %.0f ms); "
              "ratio to the unskinned full repaint %.2f (target <= 2)\n",
              skinned.Switches.size(), switchMedian, switchWorst, kFrameMs, switchRatio);
  std::printf("  one switch:    %d messages, %s\n", skinnedTraffic.SwitchMessages, requestsOf("switch-skinned").c_str());
  // Without a skin the bar repaints only itself: it notifies nothing, so its edit keeps its text.
  std::printf("scroll step:   skinned %8.3f ms, unskinned (the bar alone) %8.3f ms: ratio %.2f (target: under one "
              "frame, %.0f ms)\n",
              skinnedScroll, plainScroll, scrollRatio, kFrameMs);
  double worst = 0;
  for (const TTarget& target : targets) {
    std::printf("  %-14s ratio to target %.2f\n", target.Name, target.ToTarget);
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
