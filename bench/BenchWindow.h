#pragma once
// The calculator window for the benchmark programs: started as the program starts it, with its
// skin or with none active, and a clock for timing it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "bench/Endurance.h"
#include "framework/win/Text.h"
#include "label/KvBlink.h"
#include "skin/manager/sSkinManager.h"

namespace bench {

inline const wchar_t* const kTitle = L"Расчет дискового пространства";

inline double Milliseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / frequency;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double Worst(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// The machine's load averages (1, 5 and 15 minutes) as the host reports them; Wine shows the
// host's files under Z:.
inline std::string MachineLoad() {
  std::ifstream file("Z:\\proc\\loadavg");
  std::string line;
  if (!file || !std::getline(file, line)) return "unknown";
  return line;
}

// The running calculator. Without a skin, a manager made before the window's own one becomes
// the process's default manager, switched off: the window's manager then only stores its
// properties and no skin is ever loaded, so every control paints as the platform does.
class TBenchWindow {
 public:
  // Builds and shows the window and paints it to the end; StartupMs is the time from creating
  // the window to the end of that first paint.
  explicit TBenchWindow(bool skinned) {
    app_ = new TApplication(nullptr);
    app_->SetTitle(Narrow(kTitle));
    if (!skinned) {
      blocker_.reset(new TsSkinManager(nullptr));
      blocker_->SetActive(false);
    }
    const double start = Milliseconds();
    app_->CreateForm(Form1);
    if (BlinkingControls) BlinkingControls->Timer().SetEnabled(false);
    Form1->Show();
    endurance::FinishPainting(Form1->Handle());
    StartupMs = Milliseconds() - start;
  }
  TBenchWindow(const TBenchWindow&) = delete;
  TBenchWindow& operator=(const TBenchWindow&) = delete;
  ~TBenchWindow() {
    delete app_;
    Form1 = nullptr;
    blocker_.reset();
  }

  TForm1& Form() const { return *Form1; }
  HWND Window() const { return Form1->Handle(); }
  bool Skinned() const { return blocker_ == nullptr; }

  double StartupMs = 0;

 private:
  TApplication* app_ = nullptr;
  TOwned<TsSkinManager> blocker_;  // freed through Free, which gives up the default place
};

}  // namespace bench
