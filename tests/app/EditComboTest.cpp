// The skinned edits and combo boxes of the calculator window, met as a user meets them: mouse
// and keyboard input through the system's input queue (SendInput) on the running window, and
// the pixels read back from the window and compared with pictures composed here from the same
// skin: the result fields half-blended into the form, the input's frame around the platform's
// caret, the combo box's glyph in its three states, read-only lists, the texts that must show
// whole, and the faults a first user met (caret after a rewrite, Alt+F4 in a list, long paste).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Calculation.h"
#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sPaintItem.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "skin/paint/win/sText.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

// [SECTION] Input and read-back ------------------------------------------------------------

void SendMouse(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof(INPUT));
}

// A point of a control's window (outer rectangle) on the screen.
POINT OnScreen(TWinControl* control, int x, int y) {
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  return {r.left + x, r.top + y};
}

void MoveMouse(POINT screen) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
  PumpMessages();
}

void Click(POINT screen) {
  MoveMouse(screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  PumpMessages();
  SendMouse(MOUSEEVENTF_LEFTUP);
  PumpMessages();
}

void Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(INPUT));
}

// Presses the keys in order and lets them go in reverse order (Alt+F4: {VK_MENU, VK_F4}).
void Press(std::initializer_list<WORD> keys) {
  for (WORD k : keys) Key(k, false);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) Key(*it, true);
  PumpMessages();
}

void Type(const std::string& digits) {
  for (char c : digits) Press({static_cast<WORD>(c)});
}

// The control's whole window as the screen shows it.
std::unique_ptr<TBitmap> ReadWindow(TWinControl* control) {
  RedrawWindow(Form1->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  auto copy = std::make_unique<TBitmap>(control->Width(), control->Height());
  TWindowDC dc(control->Handle(), true);
  BitBlt(copy->DC(), 0, 0, control->Width(), control->Height(), dc.Get(), 0, 0, SRCCOPY);
  return copy;
}

struct TDiff {
  int Count = 0;
  std::string First;
};

// Differing pixels of R (in both pictures' coordinates).
TDiff Compare(TBitmap& a, TBitmap& b, TRect r) {
  TDiff diff;
  const TPixelView va = a.View(), vb = b.View();
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const std::uint8_t* p = va.Pixel(x, y);
      const std::uint8_t* q = vb.Pixel(x, y);
      if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) continue;
      if (diff.Count++ == 0) {
        char first[96];
        std::snprintf(first, sizeof first, "(%d,%d) %d,%d,%d vs %d,%d,%d", x, y, p[2], p[1], p[0], q[2], q[1], q[0]);
        diff.First = first;
      }
    }
  return diff;
}

TDiff CompareAll(TBitmap& a, TBitmap& b) { return Compare(a, b, {0, 0, a.Width(), a.Height()}); }

// The skin's picture of an edit or combo box face (section background over the form's
// background, border, text) composed here from the same skin, in the given state.
std::unique_ptr<TBitmap> FacePicture(TWinControl* control, TsCommonData& skinData, int state, const std::string& text,
                                     TRect textArea, UINT flags) {
  auto picture = std::make_unique<TBitmap>(control->Width(), control->Height());
  const TCacheInfo ci = GetParentCache(skinData);
  PaintItem(skinData.SkinIndex, skinData.SkinSection, ci, true, state, {0, 0, control->Width(), control->Height()},
            {control->Left(), control->Top()}, picture->View());
  TCanvas& canvas = picture->Canvas();
  canvas.Font().Assign(control->Font());
  WriteTextEx(canvas, text, true, textArea, flags, skinData.SkinIndex, state != 0);
  return picture;
}

// Round half to even of (a + b) / 2, the disabled look's mix.
std::uint8_t HalfEvenMean(int a, int b) {
  const int sum = a + b;
  if (sum % 2 == 0) return static_cast<std::uint8_t>(sum / 2);
  const int down = sum / 2;
  return static_cast<std::uint8_t>(down % 2 == 0 ? down : down + 1);
}

// Bounding box of the pixels where two pictures differ (the ink a text added); empty when none.
TRect InkBox(TBitmap& with, TBitmap& without) {
  TRect box{with.Width(), with.Height(), -1, -1};
  const TPixelView a = with.View(), b = without.View();
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) {
      const std::uint8_t* p = a.Pixel(x, y);
      const std::uint8_t* q = b.Pixel(x, y);
      if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    }
  return box;
}

constexpr UINT kEditFlags = 0x830;

std::wstring WindowText(HWND window) {
  wchar_t text[256]{};
  GetWindowTextW(window, text, 256);
  return text;
}

class EditComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    app = apptest::StartCalculator();
    SetForegroundWindow(Form1->Handle());
    SetFocus(Form1->Button1->Handle());
    PumpMessages();
  }
  void TearDown() override {
    if (app != nullptr) apptest::StopCalculator(app);
    EXPECT_EQ(boxes->Seen().size(), expectedBoxes) << "error boxes shown";
    boxes.reset();
  }
  std::vector<TsEdit*> ResultFields() const {
    std::vector<TsEdit*> fields;
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9", "Edit10",
                             "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18",
                             "Edit19", "sEdit2"})
      fields.push_back(Form1->ResultField(name));
    return fields;
  }
  void ClickCalculate() { Click(OnScreen(Form1->Button1, Form1->Button1->Width() / 2, Form1->Button1->Height() / 2)); }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  std::size_t expectedBoxes = 0;
};

// [SECTION] Edits ----------------------------------------------------------------------------

TEST_F(EditComboTest, ResultFieldIsTheHalfEvenMeanOfItsPictureAndTheFormAndRepaintsOnceWithItsNewText) {
  const auto fields = ResultFields();
  std::map<TsEdit*, std::int64_t> rendersBefore;
  for (TsEdit* field : fields) rendersBefore[field] = field->CacheRenders();
  // 25 fps, 80 cameras, one year of the largest frame: the widest texts of many fields.
  Form1->Edit20->SetText("25");
  Form1->Edit21->SetText("80");
  ClickCalculate();
  for (TsEdit* field : fields) {
    EXPECT_FALSE(field->Text().empty()) << field->Name();
    EXPECT_LE(field->CacheRenders() - rendersBefore[field], 1) << field->Name() << " composed more than once";
    EXPECT_GE(field->CacheRenders() - rendersBefore[field], 1) << field->Name() << " not repainted";
  }
  for (TsEdit* field : {Form1->Edit1, Form1->Edit5, Form1->sEdit2}) {
    SCOPED_TRACE(field->Name() + " \"" + field->Text() + "\"");
    ASSERT_TRUE(field->SkinData.Skinned());
    const TRect area{3, 3, field->Width() - 3, field->Height() - 3};
    auto picture = FacePicture(field, field->SkinData, 0, field->Text(), area, kEditFlags);
    auto empty = FacePicture(field, field->SkinData, 0, "", area, kEditFlags);
    // The text starts at (3, 3): its ink lies where the same text drawn at (0, 0) has it, moved by 3.
    TBitmap alone(field->Width(), field->Height());
    FillDC(alone.DC(), {0, 0, field->Width(), field->Height()}, clWhite);
    TBitmap blank(field->Width(), field->Height());
    FillDC(blank.DC(), {0, 0, field->Width(), field->Height()}, clWhite);
    alone.Canvas().Font().Assign(field->Font());
    TRect origin{0, 0, field->Width(), field->Height()};
    WriteText(alone.Canvas(), field->Text(), true, origin, kEditFlags);
    const TRect ink = InkBox(*picture, *empty), inkAlone = InkBox(alone, blank);
    EXPECT_EQ(ink.Left, inkAlone.Left + 3);
    EXPECT_EQ(ink.Top, inkAlone.Top + 3);
    // Half and half with the form's background at the field's place, rounded half to even.
    const TCacheInfo ci = GetParentCache(field->SkinData);
    ASSERT_TRUE(ci.Ready);
    TBitmap expected(field->Width(), field->Height());
    const TPixelView e = expected.View(), p = picture->View();
    for (int y = 0; y < e.Height; ++y)
      for (int x = 0; x < e.Width; ++x) {
        const std::uint8_t* form = ci.Bmp.Pixel(ci.X + field->Left() + x, ci.Y + field->Top() + y);
        for (int c = 0; c < 3; ++c) e.Pixel(x, y)[c] = HalfEvenMean(p.Pixel(x, y)[c], form[c]);
      }
    const TDiff cache = CompareAll(expected, *field->SkinData.CacheBmp);
    EXPECT_EQ(cache.Count, 0) << "cache: " << cache.First;
    auto screen = ReadWindow(field);
    const TDiff shown = CompareAll(expected, *screen);
    EXPECT_EQ(shown.Count, 0) << "window: " << shown.First;
  }
  // Nothing changed: repainting the window composes nothing again.
  std::map<TsEdit*, std::int64_t> rendersAfter;
  for (TsEdit* field : fields) rendersAfter[field] = field->CacheRenders();
  RedrawWindow(Form1->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  for (TsEdit* field : fields) EXPECT_EQ(field->CacheRenders(), rendersAfter[field]) << field->Name();
}

TEST_F(EditComboTest, EveryTextTheCalculationCanProduceShowsWholeInItsField) {
  // The widest text of each field over every input (the amount grows with the camera count, so
  // 1 and 80 cameras bound the lengths; every rate, because of the limits).
  std::map<std::string, std::string> widest;
  TBitmap measure(8, 8);
  TCanvas& canvas = measure.Canvas();
  canvas.Font().Assign(Form1->Font());
  std::map<std::string, int> widestWidth;
  for (int duration = 0; duration <= 6; ++duration)
    for (int size = 0; size < 12; ++size)
      for (int rate = 1; rate <= 25; ++rate)
        for (const char* cameras : {"1", "9", "10", "79", "80"})
          for (const auto& [field, text] : CalculateFieldTexts(duration, cameras, std::to_string(rate), size)) {
            const int w = canvas.TextWidth(text);
            if (w > widestWidth[field]) {
              widestWidth[field] = w;
              widest[field] = text;
            }
          }
  for (TsEdit* field : ResultFields()) {
    const std::string& text = widest[field->Name()];
    const int room = field->Width() - 6;
    std::printf("%s: widest \"%s\" %d px in the window's font, text area %d px\n", field->Name().c_str(),
                text.c_str(), widestWidth[field->Name()], room);
    field->SetText(text);
    PumpMessages();
    auto empty = FacePicture(field, field->SkinData, 0, "", {3, 3, field->Width() - 3, field->Height() - 3}, kEditFlags);
    // Undo the blend on both sides: compare the un-blended pictures' ink through the cache.
    auto screen = ReadWindow(field);
    TBitmap blankBlended(field->Width(), field->Height());
    const TCacheInfo ci = GetParentCache(field->SkinData);
    BitBlt(blankBlended.DC(), 0, 0, field->Width(), field->Height(), empty->DC(), 0, 0, SRCCOPY);
    BmpDisabledKind(blankBlended.View(), dkBlended, Form1->Color(), ci, {field->Left(), field->Top()});
    const TRect ink = InkBox(*screen, blankBlended);
    SCOPED_TRACE(field->Name() + " \"" + text + "\"");
    ASSERT_GT(ink.Right, 0) << "no text drawn";
    EXPECT_GE(ink.Left, 3);
    EXPECT_LE(ink.Right, field->Width() - 3);
    // Whole: the ink spans about what the text needs, not a cut part of it (a narrowed text
    // is a few pixels under the room, by the steps of the character width).
    EXPECT_GE(WidthOf(ink), std::min(widestWidth[field->Name()], room) - 8);
  }
}

TEST_F(EditComboTest, PasswordCharacterIsShownOncePerCharacter) {
  auto* edit = new TsEdit(Form1);
  edit->SetBounds(392, 56, 41, 21);
  edit->SetParent(Form1);
  edit->SetPasswordChar(L'*');
  edit->SetText("abcd");
  PumpMessages();
  ASSERT_TRUE(edit->SkinData.Skinned());
  auto expected = FacePicture(edit, edit->SkinData, 0, "****", {3, 3, 38, 18}, kEditFlags);
  const TDiff cache = CompareAll(*expected, *edit->SkinData.CacheBmp);
  EXPECT_EQ(cache.Count, 0) << cache.First;
  auto screen = ReadWindow(edit);
  EXPECT_EQ(CompareAll(*expected, *screen).Count, 0);
  Free(edit);
}

TEST_F(EditComboTest, ClickingIntoAnInputShowsThePlatformTextInsideTheSkinFrameAndLeavingDrawsItFromTheSkin) {
  TsEdit* edit = Form1->Edit20;
  Click(OnScreen(edit, 20, 10));
  ASSERT_EQ(GetFocus(), edit->Handle());
  auto hot = FacePicture(edit, edit->SkinData, 1, edit->Text(), {3, 3, 38, 18}, kEditFlags);
  auto screen = ReadWindow(edit);
  const int w = edit->Width(), h = edit->Height();
  for (const TRect strip : {TRect{0, 0, w, 2}, TRect{0, 0, 2, h}, TRect{0, h - 2, w, h}, TRect{w - 2, 0, w, h}}) {
    EXPECT_EQ(Compare(*screen, *edit->SkinData.CacheBmp, strip).Count, 0) << "frame strip vs cache";
    EXPECT_EQ(Compare(*screen, *hot, strip).Count, 0) << "frame strip vs hot picture";
  }
  // Inside, the platform's edit: the caret and its own text, not the skin's picture.
  EXPECT_GT(Compare(*screen, *hot, {2, 2, w - 2, h - 2}).Count, 0);
  // Leaving it: the skin draws the whole control again, text included, in the normal look.
  Click(OnScreen(Form1->Edit21, 20, 10));
  ASSERT_EQ(GetFocus(), Form1->Edit21->Handle());
  auto normal = FacePicture(edit, edit->SkinData, 0, edit->Text(), {3, 3, 38, 18}, kEditFlags);
  screen = ReadWindow(edit);
  const TDiff left = CompareAll(*normal, *screen);
  EXPECT_EQ(left.Count, 0) << left.First;
}

// Moving the mouse over the enabled Edit20 shows its hot look and leaving gives the normal one
// back; over the disabled Edit5 nothing changes and nothing is composed. For a skin whose
// "EDIT" section allows hot tracking.
void ExpectHotTrackingOfEnabledEditsOnly() {
  TsEdit* edit = Form1->Edit20;
  MoveMouse(OnScreen(Form1->Button1, -20, -20));
  MoveMouse(OnScreen(edit, 20, 10));
  EXPECT_TRUE(edit->SkinData.MouseInside);
  auto hot = FacePicture(edit, edit->SkinData, 1, edit->Text(), {3, 3, 38, 18}, kEditFlags);
  auto screen = ReadWindow(edit);
  EXPECT_EQ(Compare(*screen, *hot, {0, 0, edit->Width(), 2}).Count, 0) << "hot frame";
  MoveMouse(OnScreen(Form1->Button1, -20, -20));
  EXPECT_FALSE(edit->SkinData.MouseInside);
  auto normal = FacePicture(edit, edit->SkinData, 0, edit->Text(), {3, 3, 38, 18}, kEditFlags);
  EXPECT_EQ(CompareAll(*normal, *ReadWindow(edit)).Count, 0) << "normal again";
  const auto renders = Form1->Edit5->CacheRenders();
  auto before = ReadWindow(Form1->Edit5);
  MoveMouse(OnScreen(Form1->Edit5, 20, 10));
  EXPECT_FALSE(Form1->Edit5->SkinData.MouseInside);
  EXPECT_EQ(CompareAll(*before, *ReadWindow(Form1->Edit5)).Count, 0);
  EXPECT_EQ(Form1->Edit5->CacheRenders(), renders);
}

TEST_F(EditComboTest, HotTrackingFollowsTheSectionSwitchAndOnlyForEnabledEdits) {
  // The stored skin's "EDIT" section does not allow it: the mouse changes nothing.
  TsEdit* edit = Form1->Edit20;
  auto before = ReadWindow(edit);
  MoveMouse(OnScreen(edit, 20, 10));
  EXPECT_EQ(CompareAll(*before, *ReadWindow(edit)).Count, 0);
  MoveMouse(OnScreen(Form1->Button1, -20, -20));
  const std::int32_t section = Form1->Edit20->SkinData.SkinIndex;
  gd[static_cast<std::size_t>(section)].ReservedBoolean = true;
  ExpectHotTrackingOfEnabledEditsOnly();
  gd[static_cast<std::size_t>(section)].ReservedBoolean = false;
}

// The same switch read from a skin folder: the stored skin written out to the skin directory,
// its "EDIT" section told to track the mouse, and the folder chosen as the skin.
TEST_F(EditComboTest, HotTrackingFromASkinFolderWhoseEditSectionSetsTheSwitch) {
  const std::filesystem::path folder = L"c:\\Skins\\BlueGlass (internal) extracted";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(L"c:\\Skins");
  ASSERT_TRUE(Form1->sSkinManager1->ExtractInternalSkin("BlueGlass (internal)", "c:\\Skins"));
  std::string options;
  {
    std::ifstream in(folder / L"Options.dat", std::ios::binary);
    options.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const std::size_t section = options.find("[EDIT]");
  ASSERT_NE(section, std::string::npos);
  const std::string key = "RESERVEDBOOLEAN=FALSE";
  const std::size_t at = options.find(key, section);
  ASSERT_NE(at, std::string::npos);
  ASSERT_LT(at, options.find("\n[", section + 1));  // the key of the EDIT section itself
  options.replace(at, key.size(), "RESERVEDBOOLEAN=TRUE");
  {
    std::ofstream out(folder / L"Options.dat", std::ios::binary | std::ios::trunc);
    out << options;
  }
  Form1->sSkinManager1->SetSkinName("BlueGlass (internal) extracted");
  PumpMessages();
  ASSERT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal) extracted");
  ASSERT_TRUE(gd[static_cast<std::size_t>(Form1->Edit20->SkinData.SkinIndex)].ReservedBoolean);
  ExpectHotTrackingOfEnabledEditsOnly();
  Form1->sSkinManager1->SetSkinName("BlueGlass (internal)");
  PumpMessages();
  std::filesystem::remove_all(folder);
}

// [SECTION] The faults a first user met --------------------------------------------------------

TEST_F(EditComboTest, ARewrittenOneIsSelectedSoThatTypingReplacesIt) {
  struct TCase {
    TsEdit* Edit;
    std::string Typed;
    std::wstring Shown;
  };
  const TCase cases[] = {
      {Form1->Edit20, "12", L"12"},
      {Form1->Edit21, "80", L"80"},
      {Form1->Edit20, "30", L"25"},  // clamped
  };
  for (const TCase& c : cases) {
    Click(OnScreen(c.Edit, 20, 10));
    Press({VK_END});
    Press({VK_BACK});  // the text is empty: it becomes "1", selected
    EXPECT_EQ(WindowText(c.Edit->Handle()), L"1");
    Type(c.Typed);
    EXPECT_EQ(WindowText(c.Edit->Handle()), c.Shown) << c.Typed;
  }
  // After the clamp to 25 the caret stands after it: typing on makes 257, clamped to 25 again.
  Type("7");
  EXPECT_EQ(WindowText(Form1->Edit20->Handle()), L"25");
  EXPECT_EQ(Form1->ScrollBar1->Position(), 25);
}

TEST_F(EditComboTest, AltF4ClosesTheWindowFromEveryInputControl) {
  for (const char* name : {"ComboBox1", "ComboBox2", "Edit20", "Button1"}) {
    SCOPED_TRACE(name);
    if (app == nullptr) {
      app = apptest::StartCalculator();
      SetForegroundWindow(Form1->Handle());
    }
    auto* control = dynamic_cast<TWinControl*>(Form1->FindComponent(name));
    ASSERT_NE(control, nullptr);
    control->SetFocus();
    PumpMessages();
    ASSERT_EQ(GetFocus(), control->Handle());
    HWND window = Form1->Handle();
    Press({VK_MENU, VK_F4});
    EXPECT_TRUE(!IsWindow(window) || !IsWindowVisible(window)) << "still open";
    apptest::StopCalculator(app);
  }
}

TEST_F(EditComboTest, AVeryLongPastedTextIsCutInTheErrorMessage) {
  const std::wstring pasted(10000, L'x');
  ASSERT_TRUE(OpenClipboard(Form1->Handle()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  expectedBoxes = 1;
  Click(OnScreen(Form1->Edit20, 20, 10));
  Press({VK_END});
  // Shift+Insert: the edit's own paste key (the key filter keeps Ctrl+V's character out).
  Press({VK_SHIFT, VK_INSERT});
  ASSERT_EQ(boxes->Seen().size(), 1u);
  // Pasted after the "1" already there.
  EXPECT_EQ(boxes->Seen()[0].Text, L"'1" + std::wstring(39, L'x') + L"...' is not a valid integer value.");
}

// [SECTION] Combo boxes ------------------------------------------------------------------------

constexpr UINT kComboFlags = DT_EXPANDTABS | DT_VCENTER | 0x830;

// The combo box's face as the skin composes it: state, text and glyph frame.
std::unique_ptr<TBitmap> ComboPicture(TsComboBox* combo, int state, int frame) {
  auto picture = FacePicture(combo, combo->SkinData, state, combo->Text(), {3, 2, combo->Width() - 3, combo->Height() - 4},
                             kComboFlags);
  const std::int32_t glyph = GetMaskIndex(combo->SkinData.SkinIndex, combo->SkinData.SkinSection, "GLYPHMASK");
  const TRect button = combo->ButtonRect();
  DrawSkinGlyph(picture->View(), {button.Left, button.Top}, frame, 1, ma[static_cast<std::size_t>(glyph)]);
  return picture;
}

TEST_F(EditComboTest, ComboGlyphShowsNormalHotPressedHotNormalThroughRealInput) {
  TsComboBox* combo = Form1->ComboBox1;
  EXPECT_EQ(combo->ButtonWidth(), 19);
  EXPECT_EQ(combo->ButtonHeight(), 17);
  const TRect button = combo->ButtonRect();
  EXPECT_EQ(button, (TRect{52, 2, 71, 19}));
  const auto expectLook = [&](int state, int frame, bool focused, const char* what) {
    SCOPED_TRACE(what);
    RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    auto expected = ComboPicture(combo, state, frame);
    auto screen = ReadWindow(combo);
    const TDiff glyph = Compare(*expected, *screen, button);
    EXPECT_EQ(glyph.Count, 0) << "button " << glyph.First;
    EXPECT_EQ(Compare(*expected, *screen, {0, 0, combo->Width(), 2}).Count, 0) << "top frame";
    if (!focused) {
      EXPECT_EQ(CompareAll(*expected, *screen).Count, 0) << "whole face";
    }
  };
  expectLook(0, 0, false, "normal at start");
  Press({VK_TAB});  // from Button1 to ComboBox1
  ASSERT_EQ(GetFocus(), combo->Handle());
  expectLook(1, 1, true, "hot with the focus");
  Press({VK_MENU, VK_DOWN});
  EXPECT_TRUE(combo->DroppedDown());
  expectLook(1, 2, true, "pressed while the list is open (keyboard)");
  Press({VK_ESCAPE});
  EXPECT_FALSE(combo->DroppedDown());
  expectLook(1, 1, true, "hot after closing");
  Click(OnScreen(combo, 60, 10));
  EXPECT_TRUE(combo->DroppedDown());
  expectLook(1, 2, true, "pressed while the list is open (mouse)");
  Click(OnScreen(combo, 60, 10));
  EXPECT_FALSE(combo->DroppedDown());
  expectLook(1, 1, true, "hot after closing by mouse");
  MoveMouse(OnScreen(Form1->Button1, -20, -20));
  Press({VK_TAB});  // on to ComboBox2
  ASSERT_EQ(GetFocus(), Form1->ComboBox2->Handle());
  expectLook(0, 0, false, "normal after leaving");
}

TEST_F(EditComboTest, ClosedComboTakesAnotherItemFromTheKeyboardAtOnce) {
  TsComboBox* combo = Form1->ComboBox1;
  Press({VK_TAB});
  ASSERT_EQ(GetFocus(), combo->Handle());
  Press({VK_DOWN});
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), combo->Items()[1]);
  auto expected = ComboPicture(combo, 1, 1);
  EXPECT_EQ(CompareAll(*expected, *combo->SkinData.CacheBmp).Count, 0) << "cache shows the new item";
  // A text wider than the space left of the button goes under the glyph.
  combo->SetItems({"1234567890123456789"});
  combo->SetItemIndex(0);
  PumpMessages();
  Press({VK_TAB});
  auto wide = ComboPicture(combo, 0, 0);
  const TDiff d = CompareAll(*wide, *ReadWindow(combo));
  EXPECT_EQ(d.Count, 0) << d.First;
}

TEST_F(EditComboTest, ReadOnlyComboIgnoresArrowsAltArrowsAndTyping) {
  TsComboBox* combo = Form1->ComboBox2;
  combo->SetReadOnly(true);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetFocus();
  PumpMessages();
  ASSERT_EQ(GetFocus(), combo->Handle());
  Press({VK_DOWN});
  Press({VK_UP});
  Press({VK_MENU, VK_DOWN});
  EXPECT_FALSE(combo->DroppedDown());
  Press({VK_F4});
  EXPECT_FALSE(combo->DroppedDown());
  Type("1");
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(changes, 0);
  // Tab still leaves it.
  Press({VK_TAB});
  EXPECT_NE(GetFocus(), combo->Handle());
}

// [SECTION] Removing the skin ------------------------------------------------------------------

TEST_F(EditComboTest, RemovingTheSkinGivesThePlatformFrameBackAndKeepsEveryText) {
  Form1->Edit20->SetText("12");
  ClickCalculate();
  const std::string result = Form1->Edit7->Text();
  ASSERT_FALSE(result.empty());
  Form1->sSkinManager1->SetActive(false);
  PumpMessages();
  for (TWinControl* control : std::vector<TWinControl*>{Form1->Edit20, Form1->Edit7, Form1->ComboBox1}) {
    SCOPED_TRACE(control->Name());
    EXPECT_FALSE(dynamic_cast<TsEdit*>(control) ? dynamic_cast<TsEdit*>(control)->SkinData.Skinned()
                                                : dynamic_cast<TsComboBox*>(control)->SkinData.Skinned());
    // The platform's own face: the control no longer shows the skin picture.
  }
  EXPECT_TRUE(GetWindowLongPtrW(Form1->Edit20->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Form1->Edit20->Text(), "12");
  EXPECT_EQ(Form1->Edit7->Text(), result);
  EXPECT_EQ(Form1->ComboBox1->Text(), "320x240");
  Form1->sSkinManager1->SetActive(true);
  PumpMessages();
  EXPECT_TRUE(Form1->Edit7->SkinData.Skinned());
  EXPECT_EQ(Form1->Edit20->Text(), "12");
  EXPECT_EQ(Form1->Edit7->Text(), result);
  auto expected = FacePicture(Form1->Edit20, Form1->Edit20->SkinData, 0, "12", {3, 3, 38, 18}, kEditFlags);
  EXPECT_EQ(CompareAll(*expected, *ReadWindow(Form1->Edit20)).Count, 0) << "skinned again";
}

}  // namespace
