// The program: the application with its title, the calculator window, the message loop.
#include <windows.h>

#include "app/Unit1.h"
#include "framework/win/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TApplication application(nullptr);
  try {
    Application->Initialize();
    Application->SetTitle("Расчет дискового пространства");
    Application->CreateForm(Form1);
    Application->Run();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  return 0;
}
