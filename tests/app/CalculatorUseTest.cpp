// The calculator window as a user works it: keys and mouse through the system's input queue
// (SendInput), the texts read back from the windows and the pixels from the screen. What the
// result fields show when the duration changes after a calculation, where typing goes after an
// input edit clamps its number, and that every result shows whole and legible in its field.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

// [SECTION] Input and read-back ------------------------------------------------------------

void Click(POINT screen) {
  MouseTo(screen);
  PumpMessages();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpMessages();
  MouseButton(MOUSEEVENTF_LEFTUP);
  PumpMessages();
}

void Key(WORD vk) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  SendOneInput(input);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendOneInput(input);
  PumpMessages();
}

// Digits as their keys, '\b' as backspace.
void Type(const std::string& keys) {
  for (char c : keys) Key(c == '\b' ? static_cast<WORD>(VK_BACK) : static_cast<WORD>(c));
}

POINT OnScreen(TWinControl* control, int x, int y) {
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  return {r.left + x, r.top + y};
}

std::string WindowText(TWinControl* control) {
  wchar_t text[256]{};
  GetWindowTextW(control->Handle(), text, 256);
  return Narrow(text);
}

// A number as the window writes it: the decimal point of the text is the user's separator.
std::string Localized(std::string text) {
  wchar_t separator[8]{};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return text;
  const std::string sep = Narrow(separator);
  const auto dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, sep);
  return text;
}

// The screen's pixels under a control's window.
std::unique_ptr<TBitmap> ReadScreen(TWinControl* control) {
  RedrawWindow(Form1->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  auto copy = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(copy->DC(), 0, 0, copy->Width(), copy->Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return copy;
}

class CalculatorUseTest : public ::testing::Test {
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
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }
  static std::vector<TsEdit*> ResultFields() {
    std::vector<TsEdit*> fields;
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9", "Edit10",
                             "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18",
                             "Edit19", "sEdit2"})
      fields.push_back(Form1->ResultField(name));
    return fields;
  }
  static std::vector<std::string> FieldTexts() {
    std::vector<std::string> texts;
    for (TsEdit* field : ResultFields()) texts.push_back(WindowText(field));
    return texts;
  }
  static void ClickCalculate() {
    Click(OnScreen(Form1->Button1, Form1->Button1->Width() / 2, Form1->Button1->Height() / 2));
  }
  // Clicks into the edit and deletes its text (at most two digits; an emptied text comes back as
  // a selected "1"), then types the keys.
  static void TypeInto(TsEdit* edit, const std::string& keys) {
    Click(OnScreen(edit, 20, 10));
    EXPECT_EQ(GetFocus(), edit->Handle());
    Key(VK_END);
    Type("\b\b\b");
    EXPECT_EQ(WindowText(edit), "1");
    Type(keys);
  }
  // Opens the list with a click on the combo box and clicks the item.
  static void ChooseWithMouse(TsComboBox* combo, int index) {
    Click(OnScreen(combo, combo->Width() / 2, combo->Height() / 2));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
    ASSERT_TRUE(IsWindowVisible(info.hwndList)) << "the list did not open";
    RECT item{};
    ASSERT_NE(SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)),
              LB_ERR);
    POINT middle{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &middle);
    Click(middle);
    ASSERT_FALSE(IsWindowVisible(info.hwndList));
    ASSERT_EQ(combo->ItemIndex(), index);
  }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
};

const std::vector<std::string> kNoTexts(20, "");

// [SECTION] Result fields and the duration ---------------------------------------------------

TEST_F(CalculatorUseTest, AnotherDurationEmptiesTheResultFieldsTheSameDurationOrAnotherInputKeepsThem) {
  TsComboBox* duration = Form1->ComboBox2;
  TypeInto(Form1->Edit20, "2");
  TypeInto(Form1->Edit21, "3");
  ClickCalculate();
  // 320x240, one second, 2 fps, 3 cameras: 11.7 kB x 6 in the first field, 1.564 kB x 6 (9.384)
  // in column 8 of both rows; column 10 offers nothing in black and white.
  const std::vector<std::string> calculated = FieldTexts();
  EXPECT_EQ(WindowText(Form1->Edit1), Localized("70.2"));
  EXPECT_EQ(WindowText(Form1->Edit8), Localized("9.38"));
  EXPECT_EQ(WindowText(Form1->Edit18), Localized("9.38"));
  EXPECT_EQ(WindowText(Form1->Edit10), "нет");
  for (std::size_t i = 0; i < calculated.size(); ++i) EXPECT_FALSE(calculated[i].empty()) << "field " << i;

  struct TStep {
    const char* What;
    void (*Do)();
    const char* Unit;
    bool Kept;  // the fields still hold the calculated texts, else they are all empty
  };
  const TStep steps[] = {
      {"the same duration again, with the mouse", [] { ChooseWithMouse(Form1->ComboBox2, 0); }, "кб", true},
      {"another frame rate typed", [] { TypeInto(Form1->Edit20, "7"); }, "кб", true},
      {"another frame size, with the mouse", [] { ChooseWithMouse(Form1->ComboBox1, 11); }, "кб", true},
      {"a year, with the mouse", [] { ChooseWithMouse(Form1->ComboBox2, 6); }, "Тб", false},
      {"back to a second: nothing comes back", [] { ChooseWithMouse(Form1->ComboBox2, 0); }, "кб", false},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.What);
    step.Do();
    EXPECT_EQ(Form1->Label1->Caption(), step.Unit);
    EXPECT_EQ(Form1->Label2->Caption(), step.Unit);
    EXPECT_EQ(FieldTexts(), step.Kept ? calculated : kNoTexts);
  }

  // A new calculation fills them in the unit shown; the keyboard on the closed list moves to the
  // next duration at once and empties them again.
  ClickCalculate();
  const std::vector<std::string> again = FieldTexts();
  for (std::size_t i = 0; i < again.size(); ++i) EXPECT_FALSE(again[i].empty()) << "field " << i;
  duration->SetFocus();
  PumpMessages();
  ASSERT_EQ(GetFocus(), duration->Handle());
  Key(VK_DOWN);
  EXPECT_EQ(duration->ItemIndex(), 1);
  EXPECT_EQ(Form1->Label1->Caption(), "Мб");
  EXPECT_EQ(Form1->Label2->Caption(), "Мб");
  EXPECT_EQ(FieldTexts(), kNoTexts);
}

// [SECTION] Typing past a bound ----------------------------------------------------------------

TEST_F(CalculatorUseTest, TypingPastTheBoundKeepsTheBoundAndTypingAfterAnEmptiedTextReplacesTheOne) {
  struct TCase {
    bool CameraCount;  // Edit21 (1..80), else Edit20 (1..25)
    const char* Keys;  // typed over the selected "1" that an emptied edit shows
    const char* Text;
    int Position;
  };
  // Worked out key by key: a number over the bound becomes the bound with the caret after it, so
  // the next digit makes a number over the bound again; the "1" of an emptied or zero text is
  // selected, so the next digit replaces it.
  const TCase cases[] = {
      {true, "999", "80", 80},   // 9, 99 -> 80|, 809 -> 80|
      {true, "90", "80", 80},    // 9, 90 -> 80|
      {true, "8005", "80", 80},  // 8, 80, 800 -> 80|, 805 -> 80|
      {true, "999\b", "8", 8},   // 80| and backspace: the caret is after the bound
      {true, "12", "12", 12},    // 1 replaced by 1, then 12
      {true, "07", "7", 7},      // 0 -> selected 1, replaced by 7
      {true, "80", "80", 80},    // the bound itself is no clamp
      {false, "300", "25", 25},  // 3, 30 -> 25|, 250 -> 25|
      {false, "26", "25", 25},   // 2, 26 -> 25|
      {false, "99", "25", 25},   // 9, 99 -> 25|
      {false, "3007", "25", 25}, // 3, 30 -> 25|, 250 -> 25|, 257 -> 25|
      {false, "300\b", "2", 2},  // 25| and backspace
      {false, "12", "12", 12},
      {false, "0", "1", 1},      // 0 -> selected 1
      {false, "02", "2", 2},     // 0 -> selected 1, replaced by 2
  };
  for (const TCase& c : cases) {
    TsEdit* edit = c.CameraCount ? Form1->Edit21 : Form1->Edit20;
    TsScrollBar* bar = c.CameraCount ? Form1->ScrollBar2 : Form1->ScrollBar1;
    std::string shown = c.Keys;
    for (auto& ch : shown)
      if (ch == '\b') ch = '<';
    SCOPED_TRACE(edit->Name() + " typed " + shown);
    TypeInto(edit, c.Keys);
    EXPECT_EQ(WindowText(edit), c.Text);
    EXPECT_EQ(bar->Position(), c.Position);
  }
}

// [SECTION] Results whole and legible ----------------------------------------------------------

// The columns of a field where the screen shows ink: pixels that differ from the empty field's.
struct TInk {
  std::vector<bool> Columns;
  int Top = -1, Bottom = -1;  // rows with ink, [Top, Bottom)
};

TInk InkOf(TBitmap& shown, TBitmap& empty) {
  TInk ink;
  ink.Columns.assign(static_cast<std::size_t>(shown.Width()), false);
  const TPixelView a = shown.View(), b = empty.View();
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) {
      const std::uint8_t* p = a.Pixel(x, y);
      const std::uint8_t* q = b.Pixel(x, y);
      if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) continue;
      ink.Columns[static_cast<std::size_t>(x)] = true;
      if (ink.Top < 0) ink.Top = y;
      ink.Bottom = y + 1;
    }
  return ink;
}

// Runs of ink columns as "first-last" pairs.
std::vector<std::pair<int, int>> InkRuns(const std::vector<bool>& columns) {
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < static_cast<int>(columns.size()); ++x) {
    if (!columns[static_cast<std::size_t>(x)]) continue;
    if (!runs.empty() && runs.back().second == x - 1) {
      runs.back().second = x;
    } else {
      runs.emplace_back(x, x);
    }
  }
  return runs;
}

int GlyphCount(const std::string& text) {
  const std::wstring wide = Widen(text);
  int count = 0;
  for (wchar_t c : wide)
    if (c != L' ') ++count;
  return count;
}

TEST_F(CalculatorUseTest, EveryResultShowsWholeInsideItsFieldWithAColumnWithoutInkBetweenAnyTwoGlyphs) {
  const std::vector<TsEdit*> fields = ResultFields();
  std::vector<std::unique_ptr<TBitmap>> empty;
  for (TsEdit* field : fields) empty.push_back(ReadScreen(field));
  // The widest texts: the most frames and cameras; a second (the largest numbers) and a year
  // (the unit "Тб"), over every frame size (the frame-rate limits differ by size).
  TypeInto(Form1->Edit20, "25");
  TypeInto(Form1->Edit21, "80");
  for (int duration : {0, 6}) {
    ChooseWithMouse(Form1->ComboBox2, duration);
    for (int size = 0; size < 12; ++size) {
      Form1->ComboBox1->SetFocus();
      PumpMessages();
      Key(VK_HOME);
      for (int i = 0; i < size; ++i) Key(VK_DOWN);
      ASSERT_EQ(Form1->ComboBox1->ItemIndex(), size);
      ClickCalculate();
      for (std::size_t i = 0; i < fields.size(); ++i) {
        TsEdit* field = fields[i];
        const std::string text = WindowText(field);
        std::string where = field->Name();
        where.append(" \"").append(text).append("\" at ").append(Form1->ComboBox1->Text());
        where.append(", ").append(Form1->ComboBox2->Text());
        SCOPED_TRACE(where);
        ASSERT_FALSE(text.empty());
        auto shown = ReadScreen(field);
        const TInk ink = InkOf(*shown, *empty[i]);
        const auto runs = InkRuns(ink.Columns);
        std::string seen;
        for (const auto& [first, last] : runs)
          seen.append(" ").append(std::to_string(first)).append("-").append(std::to_string(last));
        ASSERT_FALSE(runs.empty()) << "no ink";
        // Inside the field: a blank column between the ink and the 2-pixel frame on every side,
        // so nothing is cut at the frame either.
        EXPECT_GE(runs.front().first, 3) << "ink columns" << seen;
        EXPECT_LE(runs.back().second, field->Width() - 4) << "ink columns" << seen;
        EXPECT_GE(ink.Top, 3);
        EXPECT_LE(ink.Bottom, field->Height() - 3);
        // One run of ink columns per glyph: no two glyphs touch.
        EXPECT_EQ(static_cast<int>(runs.size()), GlyphCount(text)) << "ink columns" << seen;
      }
    }
  }
}

}  // namespace
