#pragma once
// The endurance rounds on the running calculator window and the resources they are judged by.
// One round switches to the next stored skin, calculates (a click on "Расчет"), steps the
// first scroll bar, and every tenth round opens the system menu; after each the window is
// painted to the end. The long run (bench/endurance) and the short one (the window tests)
// share this file, so that both check the same thing.
//
// What is counted: the live handles of each kind held by the framework's owners, the timers
// alive (each framework timer has a message-only window), the windows of the calculator, and
// what the process itself reports (GDI and USER objects, which Wine answers with 0; kernel
// handles; private memory).
#include <windows.h>
#include <psapi.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"

namespace endurance {

inline constexpr const char* kStoredSkins[] = {"BlueGlass (internal)", "MacOS (internal)", "LongHorn (internal)",
                                               "MacMetal (internal)", "Winter2003 (internal)"};
inline constexpr int kSkinCount = 5;
// Private memory may move this much between two counts without counting as growth: the heap
// hands out and takes back whole pages.
inline constexpr std::int64_t kMemorySlack = 64 * 1024;

inline constexpr std::size_t kGdiKinds = static_cast<std::size_t>(TGdiKind::Count);

struct TResourceCounts {
  std::array<std::int64_t, kGdiKinds> Gdi{};  // by TGdiKind
  std::int64_t GdiTotal = 0;
  std::int64_t Timers = 0;         // framework timers alive
  std::int64_t Windows = 0;        // the calculator window and its children
  std::int64_t ProcessGdi = 0;     // GetGuiResources, GDI objects
  std::int64_t ProcessUser = 0;    // GetGuiResources, USER objects
  std::int64_t Handles = 0;        // GetProcessHandleCount
  std::int64_t PrivateBytes = 0;   // GetProcessMemoryInfo, PrivateUsage

  // Every count but memory, in one row, for comparing two of them.
  std::vector<std::int64_t> Counts() const {
    std::vector<std::int64_t> all(Gdi.begin(), Gdi.end());
    all.insert(all.end(), {GdiTotal, Timers, Windows, ProcessGdi, ProcessUser, Handles});
    return all;
  }
};

inline const char* GdiKindName(std::size_t kind) {
  static constexpr const char* kNames[kGdiKinds] = {"fonts",          "brushes",        "pens",          "bitmaps",
                                                    "regions",        "memory DCs",     "window DCs",    "paint sessions"};
  return kNames[kind];
}

// The names of the rows of Counts(), then memory.
inline std::vector<std::string> CountNames() {
  std::vector<std::string> names;
  for (std::size_t kind = 0; kind < kGdiKinds; ++kind) names.emplace_back(GdiKindName(kind));
  names.insert(names.end(), {"GDI total (owners)", "timers", "windows", "process GDI objects", "process USER objects",
                             "process handles"});
  return names;
}

inline std::int64_t CountTimerWindows() {
  std::int64_t count = 0;
  const DWORD process = GetCurrentProcessId();
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, L"TTimerWindow", nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, L"TTimerWindow", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process) ++count;
  }
  return count;
}

inline BOOL CALLBACK CountOneWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<std::int64_t*>(counter);
  return TRUE;
}

inline std::int64_t CountWindows(HWND top) {
  std::int64_t count = IsWindow(top) ? 1 : 0;
  EnumChildWindows(top, &CountOneWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The process's kernel handles. Wine's GetProcessHandleCount answers 0; there the system's
// handle table, which it does fill, is searched for this process's entries.
inline std::int64_t CountProcessHandles() {
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0) return handles;
  struct TEntry {  // SYSTEM_HANDLE_ENTRY
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE HandleFlags;
    USHORT HandleValue;
    PVOID ObjectPointer;
    ULONG AccessMask;
  };
  using TQuery = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
  constexpr int kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
  if (proc == nullptr) return 0;
  const auto query = reinterpret_cast<TQuery>(reinterpret_cast<void (*)()>(proc));
  // The table: a ULONG count, then the entries at pointer alignment.
  std::vector<unsigned char> buffer(1 << 16);
  LONG status = 0;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
         kInfoLengthMismatch)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  ULONG entries = 0;
  std::memcpy(&entries, buffer.data(), sizeof(entries));
  const std::size_t first = alignof(TEntry) > sizeof(ULONG) ? alignof(TEntry) : sizeof(ULONG);
  const DWORD process = GetCurrentProcessId();
  std::int64_t count = 0;
  for (std::size_t i = 0; i < entries && first + (i + 1) * sizeof(TEntry) <= buffer.size(); ++i) {
    TEntry entry{};
    std::memcpy(&entry, buffer.data() + first + i * sizeof(TEntry), sizeof(entry));
    if (entry.OwnerPid == process) ++count;
  }
  return count;
}

inline TResourceCounts CountResources(HWND window) {
  TResourceCounts counts;
  for (std::size_t kind = 0; kind < kGdiKinds; ++kind) counts.Gdi[kind] = GdiLiveCount(static_cast<TGdiKind>(kind));
  counts.GdiTotal = GdiLiveTotal();
  counts.Timers = CountTimerWindows();
  counts.Windows = CountWindows(window);
  HANDLE process = GetCurrentProcess();
  counts.ProcessGdi = GetGuiResources(process, GR_GDIOBJECTS);
  counts.ProcessUser = GetGuiResources(process, GR_USEROBJECTS);
  counts.Handles = CountProcessHandles();
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  // On Windows both figures are the process's committed private bytes; Wine fills only the
  // second (from the pages the process has written to).
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
    counts.PrivateBytes = static_cast<std::int64_t>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
  return counts;
}

// Closes every menu that opens while it lives, from a timer on the message loop: a menu runs
// its own loop until it closes, so whoever opened it gets control back only then.
class TMenuCloser {
 public:
  TMenuCloser() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 5, &TMenuCloser::Tick);
  }
  TMenuCloser(const TMenuCloser&) = delete;
  TMenuCloser& operator=(const TMenuCloser&) = delete;
  ~TMenuCloser() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  std::int64_t Closed() const { return closed_; }

 private:
  static bool MenuShown() {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
      if (IsWindowVisible(w)) return true;
    return false;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ == nullptr || !MenuShown()) return;
    EndMenu();
    ++current_->closed_;
  }
  static inline TMenuCloser* current_ = nullptr;
  UINT_PTR timer_ = 0;
  std::int64_t closed_ = 0;
};

// Paints whatever is waiting, the frame and every child included, and handles what was
// posted meanwhile.
inline void FinishPainting(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASENOW | RDW_ALLCHILDREN);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  GdiFlush();
}

// The rounds on Form1. Round i (from 0) chooses skin i mod 5; the system menu opens in one
// round of every `menuEvery`, each time in another skin (with 10: rounds 0, 11, 22, 33, 44,
// 50, ...); with 1 in every round.
class TEnduranceRounds {
 public:
  explicit TEnduranceRounds(TForm1& form, int menuEvery = 10)
      : form_(form), window_(form.Handle()), menuEvery_(menuEvery) {}

  bool OpensMenu(int round) const { return round % menuEvery_ == (round / menuEvery_) % kSkinCount % menuEvery_; }

  void Round(int round) {
    form_.sSkinManager1->SetSkinName(kStoredSkins[round % kSkinCount]);
    FinishPainting(window_);
    ++Switches;

    SendMessageW(form_.Button1->Handle(), BM_CLICK, 0, 0);
    FinishPainting(window_);
    ++Calculations;

    // Up and down the bar's whole range, one step at a time.
    const int span = form_.ScrollBar1->Max() - form_.ScrollBar1->Min();
    const int phase = span > 0 ? round % (2 * span) : 0;
    form_.ScrollBar1->SetPosition(form_.ScrollBar1->Min() + (phase < span ? phase + 1 : 2 * span - phase - 1));
    FinishPainting(window_);
    ++ScrollSteps;

    if (OpensMenu(round)) {
      SendMessageW(window_, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(0, 0));
      FinishPainting(window_);
      ++MenuOpenings;
    }
  }

  std::int64_t MenusClosed() const { return closer_.Closed(); }

  std::int64_t Switches = 0;
  std::int64_t Calculations = 0;
  std::int64_t ScrollSteps = 0;
  std::int64_t MenuOpenings = 0;

 private:
  TForm1& form_;
  HWND window_;
  int menuEvery_;
  TMenuCloser closer_;
};

// A warm-up of one round per skin, each with a menu, so that whatever is made once and kept
// exists before counting starts.
inline void WarmUp(TForm1& form) {
  TMenuCloser closer;
  HWND window = form.Handle();
  for (int skin = 0; skin < kSkinCount; ++skin) {
    form.sSkinManager1->SetSkinName(kStoredSkins[skin]);
    FinishPainting(window);
    SendMessageW(form.Button1->Handle(), BM_CLICK, 0, 0);
    form.ScrollBar1->SetPosition(form.ScrollBar1->Position() % form.ScrollBar1->Max() + 1);
    FinishPainting(window);
    SendMessageW(window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(0, 0));
    FinishPainting(window);
  }
}

}  // namespace endurance
