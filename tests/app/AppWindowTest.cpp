// The calculator window driven through real window messages, as a user drives it: what it
// shows when it opens, the calculation, the coupling of edits and scroll bars, the key filter,
// the error box, the unit labels, tab order, the context menu, the blinking hint, and how the
// program ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Calculation.h"
#include "app/Unit1.h"
#include "calc/DecimalSeparator.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

using apptest::kTitle;

class AppWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every error box is read and closed: a test never blocks, and no box goes unnoticed.
    boxes = std::make_unique<TMessageBoxWatcher>();
    // The blink timer runs from the start; the tests then drive it alone.
    app = apptest::StartCalculator([] {
      ASSERT_NE(BlinkingControls, nullptr);
      EXPECT_TRUE(BlinkingControls->Timer().Running());
      EXPECT_EQ(BlinkingControls->Timer().Interval(), 500u);
    });
  }
  void TearDown() override {
    apptest::StopCalculator(app);
    EXPECT_EQ(boxes->Seen().size(), expectedBoxes) << "error boxes shown";
    boxes.reset();
  }

  static std::wstring WindowText(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
  }
  static std::wstring ComboText(TsComboBox* combo) {
    const auto index = SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0);
    wchar_t text[64]{};
    SendMessageW(combo->Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
  }
  static TRect ChildRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  // Types into an edit that has the focus, with its whole text selected first.
  static void TypeOver(TsEdit* edit, const std::wstring& keys) {
    SetFocus(edit->Handle());
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    for (wchar_t key : keys) SendMessageW(edit->Handle(), WM_CHAR, key, 1);
  }
  // Pixels of one colour in a rectangle of the form's client area, as painted.
  static int CountPixels(const TRect& rect, COLORREF color) {
    RedrawWindow(Form1->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    TBitmap copy(WidthOf(rect), HeightOf(rect));
    TWindowDC dc(Form1->Handle());
    BitBlt(copy.DC(), 0, 0, WidthOf(rect), HeightOf(rect), dc.Get(), rect.Left, rect.Top, SRCCOPY);
    const TPixelView view = copy.View();
    int count = 0;
    for (int y = 0; y < view.Height; ++y)
      for (int x = 0; x < view.Width; ++x) {
        const std::uint8_t* p = view.Pixel(x, y);
        if (RGB(p[2], p[1], p[0]) == color) ++count;
      }
    return count;
  }
  std::vector<std::string> ResultTexts() const {
    std::vector<std::string> texts;
    for (const char* name : kResultNames) texts.push_back(Form1->ResultField(name)->Text());
    return texts;
  }

  static constexpr const char* kResultNames[20] = {
      "Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",  "Edit8",  "Edit9",  "Edit10",
      "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18", "Edit19", "sEdit2"};
  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  std::size_t expectedBoxes = 0;
};

TEST_F(AppWindowTest, OpensWithTitleLayoutAndStartValues) {
  HWND form = Form1->Handle();
  EXPECT_EQ(WindowText(form), kTitle);
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 735);
  EXPECT_EQ(client.bottom, 187);
  EXPECT_TRUE(IsWindowVisible(form));

  struct TPlace {
    const char* Name;
    TRect Bounds;
  };
  const TPlace windows[] = {
      {"ComboBox1", {80, 8, 153, 29}}, {"ComboBox2", {80, 32, 153, 53}}, {"ScrollBar1", {264, 8, 385, 29}},
      {"ScrollBar2", {264, 32, 385, 53}}, {"Edit20", {392, 8, 433, 29}},   {"Edit21", {392, 32, 433, 53}},
      {"Button1", {544, 32, 601, 57}},    {"Edit1", {40, 96, 89, 117}},    {"Edit9", {544, 96, 601, 117}},
      {"Edit10", {608, 96, 665, 117}},    {"Edit11", {40, 120, 89, 141}},  {"Edit15", {288, 120, 345, 141}},
      {"sEdit2", {608, 120, 665, 141}},
  };
  for (const TPlace& place : windows) {
    auto* control = dynamic_cast<TWinControl*>(Form1->FindComponent(place.Name));
    ASSERT_NE(control, nullptr) << place.Name;
    EXPECT_EQ(ChildRect(control->Handle()), place.Bounds) << place.Name;
  }
  // Labels are painted by the form; their left and top are as placed (the size follows the text).
  const std::pair<const char*, TPoint> labels[] = {
      {"sLabel1", {0, 16}},  {"sLabel4", {168, 40}}, {"LEAD", {48, 72}},     {"sLabel7", {99, 64}},
      {"Label1", {672, 104}}, {"Label2", {672, 128}}, {"sLabel15", {616, 64}}, {"KvLabel1", {16, 152}},
  };
  for (const auto& [name, at] : labels) {
    auto* label = dynamic_cast<TControl*>(Form1->FindComponent(name));
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->Left(), at.X) << name;
    EXPECT_EQ(label->Top(), at.Y) << name;
  }
  EXPECT_EQ(Form1->sLabel7->Caption(), "Intel\r\nIndeo 5.11");
  EXPECT_EQ(Form1->Label1->Caption(), "кб");
  EXPECT_EQ(Form1->Label2->Caption(), "кб");
  EXPECT_EQ(WindowText(Form1->Edit20->Handle()), L"1");
  EXPECT_EQ(WindowText(Form1->Edit21->Handle()), L"1");
  EXPECT_EQ(Form1->ScrollBar1->Position(), 1);
  EXPECT_EQ(Form1->ScrollBar2->Position(), 1);
  EXPECT_EQ(ComboText(Form1->ComboBox1), L"320x240");
  EXPECT_EQ(ComboText(Form1->ComboBox2), L"1 секунда");
  EXPECT_EQ(SendMessageW(Form1->ComboBox1->Handle(), CB_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageW(Form1->ComboBox2->Handle(), CB_GETCOUNT, 0, 0), 7);
  for (const char* name : kResultNames) {
    TsEdit* field = Form1->ResultField(name);
    ASSERT_NE(field, nullptr) << name;
    EXPECT_EQ(WindowText(field->Handle()), L"") << name;
    EXPECT_FALSE(IsWindowEnabled(field->Handle())) << name;
  }
  EXPECT_EQ(GetFocus(), Form1->Button1->Handle());
}

TEST_F(AppWindowTest, OpensWithTheStoredSkinLoadedAndAnnounced) {
  ASSERT_NE(Form1->sSkinManager1, nullptr);
  EXPECT_EQ(sSkinData->SkinManager, Form1->sSkinManager1);
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_EQ(Form1->sSkinManager1->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(Form1->sSkinManager1->InternalSkins().Count(), 5);
  EXPECT_TRUE(sSkinData->Active);
  EXPECT_EQ(gd.size(), 57u);
  EXPECT_EQ(ma.size(), 77u);
  EXPECT_EQ(ConstData.GlobalInfoIndex, GetSkinIndex("GLOBALINFO"));
  // Every skinned control looked its section up on the new skin and was then told to repaint.
  const std::int32_t edit = GetSkinIndex("EDIT");
  ASSERT_GE(edit, 0);
  for (const TsEdit* field : {Form1->Edit1, Form1->Edit20, Form1->sEdit2}) {
    EXPECT_EQ(field->SkinData.SkinIndex, edit) << field->Name();
    EXPECT_FALSE(field->SkinData.Updating) << field->Name();
  }
  EXPECT_EQ(Form1->ComboBox1->SkinData.SkinIndex, GetSkinIndex("COMBOBOX"));
  EXPECT_EQ(Form1->Button1->SkinData.SkinIndex, GetSkinIndex("BUTTON"));
  // Labels take nothing from the skin: they show the form's background through.
  EXPECT_TRUE(Form1->sLabel1->Transparent());
}

TEST_F(AppWindowTest, CalculateFillsEveryFieldWithTheCalculationsTexts) {
  SendMessageW(Form1->ComboBox1->Handle(), CB_SETCURSEL, 11, 0);  // 768x576
  SendMessageW(Form1->ComboBox2->Handle(), CB_SETCURSEL, 4, 0);   // 1 неделя
  TypeOver(Form1->Edit20, L"10");
  TypeOver(Form1->Edit21, L"2");
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  const auto expected = CalculateFieldTexts(4, "2", "10", 11);
  ASSERT_EQ(expected.size(), 20u);
  for (const auto& [name, text] : expected) {
    EXPECT_FALSE(text.empty()) << name;
    EXPECT_EQ(WindowText(Form1->ResultField(name)->Handle()), Widen(text)) << name;
  }
  // A known amount, in the regional decimal separator.
  EXPECT_EQ(WindowText(Form1->Edit1->Handle()), L"507" + Widen(RegionalDecimalSeparator()) + L"14");
  EXPECT_EQ(WindowText(Form1->Edit10->Handle()), L"нет");
  EXPECT_EQ(WindowText(Form1->Edit18->Handle()), WindowText(Form1->Edit8->Handle()));
}

// Typing over the selected text of an edit, key by key: the text and the scroll bar after it.
TEST_F(AppWindowTest, TypedNumbersAreClampedAndMoveTheScrollBar) {
  struct TCase {
    const char* Edit;
    std::wstring Keys;
    std::wstring Text;
    int Position;
  };
  const TCase cases[] = {
      {"Edit20", L"3", L"3", 3},   {"Edit20", L"30", L"25", 25}, {"Edit21", L"90", L"80", 80},
      {"Edit21", L"57", L"57", 57}, {"Edit20", L"0", L"1", 1},    {"Edit21", L"\b", L"1", 1},
      {"Edit20", L"7a", L"7", 7},  {"Edit20", L"-", L"1", 1},     {"Edit20", L" ", L"1", 1},
      {"Edit21", L".", L"1", 1},   {"Edit21", L",", L"1", 1},     {"Edit21", L"\x16", L"1", 1},
  };
  for (const TCase& c : cases) {
    auto* edit = dynamic_cast<TsEdit*>(Form1->FindComponent(c.Edit));
    TsScrollBar* bar = edit == Form1->Edit20 ? Form1->ScrollBar1 : Form1->ScrollBar2;
    edit->SetText("1");
    TypeOver(edit, c.Keys);
    EXPECT_EQ(WindowText(edit->Handle()), c.Text) << c.Edit << " keys " << Narrow(c.Keys);
    EXPECT_EQ(bar->Position(), c.Position) << c.Edit << " keys " << Narrow(c.Keys);
  }
  // Deleting the whole text gives "1" at once.
  Form1->Edit20->SetText("12");
  SetFocus(Form1->Edit20->Handle());
  SendMessageW(Form1->Edit20->Handle(), EM_SETSEL, 0, -1);
  SendMessageW(Form1->Edit20->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(WindowText(Form1->Edit20->Handle()), L"1");
  EXPECT_EQ(Form1->ScrollBar1->Position(), 1);
}

TEST_F(AppWindowTest, PastedTextThatIsNoNumberShowsTheErrorBoxAndTheWindowGoesOn) {
  Form1->Edit20->SetText("12");
  ASSERT_TRUE(OpenClipboard(Form1->Handle()));
  EmptyClipboard();
  const std::wstring pasted = L"abc";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();

  const TMessageBoxWatcher& watcher = *boxes;
  expectedBoxes = 2;
  SetFocus(Form1->Edit20->Handle());
  SendMessageW(Form1->Edit20->Handle(), EM_SETSEL, 0, -1);
  SendMessageW(Form1->Edit20->Handle(), WM_PASTE, 0, 0);
  PumpMessages();
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].Text, L"'abc' is not a valid integer value.");
  EXPECT_EQ(watcher.Seen()[0].Caption, kTitle);
  EXPECT_TRUE(watcher.Seen()[0].ErrorIcon);
  EXPECT_EQ(WindowText(Form1->Edit20->Handle()), L"abc");
  EXPECT_EQ(Form1->ScrollBar1->Position(), 12);

  // The calculation reports the same text and writes nothing.
  const auto before = ResultTexts();
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  ASSERT_EQ(watcher.Seen().size(), 2u);
  EXPECT_EQ(watcher.Seen()[1].Text, L"'abc' is not a valid integer value.");
  EXPECT_EQ(ResultTexts(), before);
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
}

TEST_F(AppWindowTest, ChoosingADurationSetsTheUnitLabelsAndEmptiesTheResultsOfAnother) {
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  ASSERT_NE(ResultTexts()[0], "");
  const std::pair<int, const char*> cases[] = {{5, "Гб"}, {6, "Тб"}, {1, "Мб"}, {2, "Мб"}, {0, "кб"}, {3, "Гб"}};
  SetFocus(Form1->ComboBox2->Handle());
  int current = 0;
  for (const auto& [index, unit] : cases) {
    // The user moves through the list with the arrow keys; the box reports each pick.
    while (current != index) {
      const WPARAM key = index > current ? VK_DOWN : VK_UP;
      SendMessageW(Form1->ComboBox2->Handle(), WM_KEYDOWN, key, 0);
      current += index > current ? 1 : -1;
    }
    EXPECT_EQ(Form1->ComboBox2->ItemIndex(), index);
    EXPECT_EQ(Form1->Label1->Caption(), unit) << index;
    EXPECT_EQ(Form1->Label2->Caption(), unit) << index;
  }
  // The amounts of "1 секунда" are not shown under another duration's unit.
  EXPECT_EQ(ResultTexts(), std::vector<std::string>(20, ""));
}

bool menuSeen = false;
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
    menuSeen = true;
    EndMenu();
  }
}

TEST_F(AppWindowTest, TabCyclesThroughTheInputsAndRightClickOpensNoMenu) {
  std::vector<std::string> order;
  for (int i = 0; i < 8; ++i) {
    TWinControl* focused = TWinControl::FindControl(GetFocus());
    order.push_back(focused ? focused->Name() : "?");
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  }
  ExpectSequence({"Button1", "ComboBox1", "ComboBox2", "ScrollBar1", "ScrollBar2", "Edit20", "Edit21", "Button1"},
                 order);

  // A menu that did open is recorded and closed again, so the test never blocks.
  menuSeen = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CloseAnyMenu);
  for (TsEdit* edit : {Form1->Edit20, Form1->Edit21}) {
    SendMessageW(edit->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(edit->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    POINT at{5, 5};
    ClientToScreen(edit->Handle(), &at);
    SendMessageW(edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), MAKELPARAM(at.x, at.y));
    PumpMessages();
  }
  KillTimer(nullptr, timer);
  EXPECT_FALSE(menuSeen);
}

// The hint: blue at first, red from the second tick of the shared timer, then alternating; the
// timer's next interval after each tick; and the colour the window really shows.
TEST_F(AppWindowTest, HintIsBlueThenRedFromTheSecondTick) {
  TKvLabel* hint = Form1->KvLabel1;
  const TRect area = hint->BoundsRect();
  EXPECT_EQ(hint->TextColor(), clBlue);
  EXPECT_GT(CountPixels(area, RGB(0, 0, 255)), 100);
  EXPECT_EQ(CountPixels(area, RGB(255, 0, 0)), 0);

  BlinkingControls->SetOnInterval(200);
  BlinkingControls->SetOffInterval(800);
  std::vector<std::string> ticks;
  for (int tick = 1; tick <= 4; ++tick) {
    SendMessageW(BlinkingControls->Timer().Handle(), WM_TIMER, 1, 0);
    const bool red = CountPixels(area, RGB(255, 0, 0)) > 100;
    const bool blue = CountPixels(area, RGB(0, 0, 255)) > 100;
    ticks.push_back(std::to_string(tick) + (red ? " red" : "") + (blue ? " blue" : "") + " next " +
                    std::to_string(BlinkingControls->Timer().Interval()));
  }
  // The blink colour shows for the on interval, the font colour for the off interval.
  ExpectSequence({"1 blue next 800", "2 red next 200", "3 blue next 800", "4 red next 200"}, ticks);
}

// The program itself: started, closed in each way a user closes it, ended with exit code 0.
// The skin guide's example folder, read from the repository where it lies: chosen as a user
// chooses a skin folder, it is the skin the window paints with, a green caption over a pale
// green ground where the stored skin has its blue.
TEST_F(AppWindowTest, TheGuidesExampleSkinFolderLoadsAndPaintsTheWindow) {
  std::string directory = DS_EXAMPLE_SKINS;
  for (char& c : directory)
    if (c == '/') c = '\\';
  if (directory.starts_with("\\")) directory = "Z:" + directory;  // Wine's drive for the Unix root
  const auto pixelAt = [](int x, int y) {
    RedrawWindow(Form1->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetWindowDC(Form1->Handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Form1->Handle(), dc);
    return c;
  };
  const auto greenest = [](COLORREF c) { return GetGValue(c) > GetRValue(c) && GetGValue(c) > GetBValue(c); };
  const int captionX = Form1->Width() / 2, captionY = 10, groundX = 720, groundY = 200;
  EXPECT_FALSE(greenest(pixelAt(captionX, captionY)));

  Form1->sSkinManager1->SetSkinDirectory(directory);
  Form1->sSkinManager1->SetSkinName("Example");
  PumpMessages();
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "Example");
  EXPECT_EQ(sSkinData->SkinPath, directory + "\\Example\\");
  EXPECT_EQ(gd.size(), 15u);
  EXPECT_EQ(pa.size(), 2u);  // the texture, normal and hot
  ASSERT_TRUE(MasterBitmap);
  EXPECT_EQ(MasterBitmap->Width(), 249);
  const COLORREF caption = pixelAt(captionX, captionY), ground = pixelAt(groundX, groundY);
  EXPECT_TRUE(greenest(caption)) << std::hex << caption;
  EXPECT_TRUE(greenest(ground)) << std::hex << ground;
  EXPECT_GT(GetRValue(ground) + GetGValue(ground) + GetBValue(ground), 3 * 170) << std::hex << ground;

  Form1->sSkinManager1->SetSkinDirectory("c:\\Skins");
  Form1->sSkinManager1->SetSkinName("BlueGlass (internal)");
  PumpMessages();
  EXPECT_FALSE(greenest(pixelAt(captionX, captionY)));
}

TEST(DiskspaceProgram, ClosingEndsTheProcessWithExitCodeZero) {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe = path;
  exe = exe.substr(0, exe.find_last_of(L"\\/"));
  exe = exe.substr(0, exe.find_last_of(L"\\/"));
  exe = exe.substr(0, exe.find_last_of(L"\\/")) + L"\\app\\diskspace.exe";

  struct TWay {
    const char* Name;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  const TWay ways[] = {
      {"close button", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1u << 29)},
      {"WM_CLOSE", WM_CLOSE, 0, 0},
  };
  for (const TWay& way : ways) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << Narrow(exe);
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) {
      window = FindWindowW(L"TForm1", kTitle);
      if (!window) Sleep(20);
    }
    ASSERT_NE(window, nullptr) << way.Name;
    WaitForInputIdle(process.hProcess, 5000);
    // Skinning the frame creates the window again during start-up: close the one that stays.
    window = FindWindowW(L"TForm1", kTitle);
    ASSERT_NE(window, nullptr) << way.Name;
    PostMessageW(window, way.Msg, way.WParam, way.LParam);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << way.Name;
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << way.Name;
    if (exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace
