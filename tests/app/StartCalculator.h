#pragma once
// Starts the calculator as the program does: the application with the window's title, the window
// made from its definition, then shown and settled. The blink timer is stopped, so that the
// tests drive the blinking themselves; `created` runs just before that, once the window exists.
#include <functional>

#include "app/Unit1.h"
#include "framework/win/Text.h"
#include "label/KvBlink.h"
#include "tests/win/WinTestSupport.h"

namespace apptest {

inline const wchar_t* const kTitle = L"Расчет дискового пространства";

inline TApplication* StartCalculator(const std::function<void()>& created = {}) {
  auto* app = new TApplication(nullptr);
  app->SetTitle(Narrow(kTitle));
  app->CreateForm(Form1);
  if (created) created();
  if (BlinkingControls) BlinkingControls->Timer().SetEnabled(false);
  Form1->Show();
  PumpMessages();
  return app;
}

// Ends what StartCalculator started: the application frees the window.
inline void StopCalculator(TApplication*& app) {
  delete app;
  app = nullptr;
  Form1 = nullptr;
}

}  // namespace apptest
