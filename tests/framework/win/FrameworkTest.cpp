// The component framework on real windows: reading a stored definition, ownership, the error
// box, GDI ownership, bitmaps, timers, tab order and direct dispatch to graphic controls.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/Text.h"
#include "tests/win/WinTestSupport.h"

namespace {

std::vector<std::string> journal;

std::string StateText(const TComponent& component) {
  std::string text;
  if (component.InState(csLoading)) text += "L";
  if (component.InState(csReading)) text += "R";
  return text.empty() ? "-" : text;
}

// A component that writes down what the reader does to it.
class TProbe : public TComponent {
 public:
  using TComponent::TComponent;
  ~TProbe() override { journal.push_back("destroy " + Name()); }
  void Loaded() override {
    journal.push_back("loaded " + Name() + " " + StateText(*this));
    TComponent::Loaded();
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    if (property.Name != "Value") return TComponent::ReadProperty(reader, property);
    journal.push_back("set " + Name() + ".Value=" + std::to_string(reader.Integer(property)) + " " + StateText(*this));
    return true;
  }
};

class TTestForm : public TForm {
 public:
  TProbe* Probe1 = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TLabel* Label1 = nullptr;
  TProbe* Probe2 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  std::function<void()> OnButton;

  explicit TTestForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    Bindings().Field("Probe1", Probe1);
    Bindings().Field("Edit1", Edit1);
    Bindings().Field("Button1", Button1);
    Bindings().Field("Label1", Label1);
    Bindings().Field("Probe2", Probe2);
    Bindings().Field("PopupMenu1", PopupMenu1);
    Bindings().Method("Button1Click", TNotifyEvent([this](TObject*) {
      journal.push_back("Button1Click");
      if (OnButton) OnButton();
    }));
    Bindings().Method("Label1Click", TNotifyEvent([](TObject*) { journal.push_back("Label1Click"); }));
    Bindings().Method("Edit1KeyPress", TKeyPressEvent([](TObject*, wchar_t&) {}));
    ReadDefinition(ParseDefinition(definition));
  }
  void Loaded() override {
    journal.push_back("loaded " + Name() + " " + StateText(*this));
    TForm::Loaded();
  }
};

const char* const kDefinition = R"(Form1: TTestForm {
  Left = 10
  Top = 20
  BorderStyle = bsDialog
  Caption = "Проба"
  ClientWidth = 300
  ClientHeight = 120
  Color = 0xCAAB77
  Font.Name = "MS Sans Serif"
  Font.Height = -11
  Probe1: TProbe {
    Value = 1
  }
  Edit1: TEdit {
    Left = 8
    Top = 8
    Width = 60
    Height = 21
    TabOrder = 1
    Text = "1"
    PopupMenu = PopupMenu1
  }
  Button1: TButton {
    Left = 80
    Top = 8
    Width = 75
    Height = 25
    TabOrder = 0
    Caption = "Кнопка"
    OnClick = Button1Click
  }
  Label1: TLabel {
    Left = 8
    Top = 60
    Width = 40
    Height = 13
    Caption = "Метка"
    OnClick = Label1Click
  }
  Probe2: TProbe {
    Value = 2
  }
  PopupMenu1: TPopupMenu {
  }
}
)";

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal.clear();
    RegisterClass<TProbe>("TProbe");
    RegisterClass<TEdit>("TEdit");
    RegisterClass<TButton>("TButton");
    RegisterClass<TLabel>("TLabel");
    RegisterClass<TPopupMenu>("TPopupMenu");
    app = new TApplication(nullptr);
    app->SetTitle("Проба заголовка");
  }
  void TearDown() override { delete app; }

  TApplication* app = nullptr;
};

TTestForm* CreateTestForm(TApplication* app, const std::string& definition = kDefinition) {
  return new TTestForm(app, definition);
}

TEST_F(FrameworkTest, ReaderSetsPropertiesWhileLoadingThenRunsLoadedInCreationOrder) {
  TTestForm* form = CreateTestForm(app);
  ExpectSequence({"set Probe1.Value=1 LR", "set Probe2.Value=2 LR", "loaded Form1 L", "loaded Probe1 L",
                  "loaded Probe2 L"},
                 journal);
  EXPECT_FALSE(form->Probe1->InState(csLoading | csReading));
  ASSERT_NE(form->Edit1, nullptr);
  ASSERT_NE(form->Button1, nullptr);
  ASSERT_NE(form->Label1, nullptr);
  EXPECT_EQ(form->Edit1->Owner(), form);
  EXPECT_EQ(form->Edit1->Parent(), form);
  EXPECT_EQ(form->Edit1->Name(), "Edit1");
  EXPECT_EQ(form->Edit1->Text(), "1");
  EXPECT_EQ(form->Caption(), "Проба");
  EXPECT_EQ(form->Color(), 0xCAAB77);
  EXPECT_EQ(form->ClientWidth(), 300);
  // A reference to a component defined later is resolved once everything exists.
  EXPECT_EQ(form->Edit1->PopupMenu(), form->PopupMenu1);
  // Controls without a font of their own take the form's.
  EXPECT_EQ(form->Button1->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(form->Button1->TabOrder(), 0);
  EXPECT_EQ(form->Edit1->TabOrder(), 1);
}

TEST_F(FrameworkTest, BrokenDefinitionsRaiseReadErrors) {
  struct TCase {
    const char* Replace;
    const char* With;
    const char* Message;
  };
  const TCase cases[] = {
      {"    Value = 1\n", "    Colour = 1\n", "Probe1.Colour: unknown property"},
      {"OnClick = Button1Click", "OnClick = Nothing", "no handler named 'Nothing'"},
      {"OnClick = Button1Click", "OnClick = Edit1KeyPress", "wrong type"},
      {"PopupMenu = PopupMenu1", "PopupMenu = Missing", "no component named 'Missing'"},
      {"PopupMenu = PopupMenu1", "PopupMenu = Probe1", "not a popup menu"},
      {"Label1: TLabel", "Label1: TNoSuchClass", "class TNoSuchClass not found"},
      {"Probe2: TProbe", "Probe1: TProbe", "already exists"},
      {"Button1: TButton", "Button1: TLabel", "not of class TLabel"},
      {"Left = 80", "Left = \"80\"", "a number was expected"},
  };
  for (const TCase& c : cases) {
    std::string text = kDefinition;
    text.replace(text.find(c.Replace), std::string(c.Replace).size(), c.With);
    try {
      std::unique_ptr<TTestForm, TFreeDeleter> form(new TTestForm(nullptr, text));
      ADD_FAILURE() << "accepted: " << c.With;
    } catch (const EReadError& error) {
      EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
    }
  }
}

TEST_F(FrameworkTest, OwnerDestroysInReverseOrderAndReferencesAreDropped) {
  TTestForm* form = CreateTestForm(app);
  TEdit* edit = form->Edit1;
  Free(form->PopupMenu1);
  EXPECT_EQ(edit->PopupMenu(), nullptr);
  journal.clear();
  Free(form);
  ExpectSequence({"destroy Probe2", "destroy Probe1"}, journal);
  EXPECT_EQ(app->ComponentCount(), 0);
}

// A component that tells its arrival (a menu item) reaches its owner and the owner's other
// components complete, recognisable as what it is; one that does not stays silent.
TEST_F(FrameworkTest, ArrivalOfAMenuItemIsToldToTheOwnerAndItsComponents) {
  struct TListener : TComponent {
    using TComponent::TComponent;
    std::vector<std::string> heard;
    void Notification(TComponent* component, TOperation operation) override {
      TComponent::Notification(component, operation);
      if (operation != TOperation::opInsert) return;
      heard.push_back(dynamic_cast<TMenuItem*>(component) != nullptr ? "item" : "other");
    }
  };
  TComponent owner(nullptr);
  auto* listener = new TListener(&owner);
  auto* watchingOwner = new TListener(nullptr);
  new TMenuItem(&owner);
  new TProbe(&owner);
  new TMenuItem(watchingOwner);
  EXPECT_EQ(listener->heard, std::vector<std::string>{"item"});
  EXPECT_EQ(watchingOwner->heard, std::vector<std::string>{"item"});
  Free(watchingOwner);
}

// The error box of every kind of error thrown by an event handler reached through a real
// window message: the message with the full-stop rule, the title as caption, an error icon and
// one OK button; the program goes on.
TEST_F(FrameworkTest, HandlerErrorsShowTheErrorBoxAndTheProgramGoesOn) {
  struct TCase {
    std::function<void()> Raise;
    const wchar_t* Text;  // null: no box
  };
  const TCase cases[] = {
      {[] { throw EConvertError("'abc' is not a valid integer value"); }, L"'abc' is not a valid integer value."},
      {[] { throw Exception("ends with a stop."); }, L"ends with a stop."},
      {[] { throw Exception("ends with !"); }, L"ends with !"},
      {[] { throw Exception("ends with a letter: я"); }, L"ends with a letter: я."},
      {[] { throw Exception(""); }, L""},
      {[] { throw std::runtime_error("not ours"); }, L""},
      {[] { throw 42; }, L""},
      {[] { throw EAbort(); }, nullptr},
  };
  TTestForm* form = CreateTestForm(app);
  form->Show();
  for (const TCase& c : cases) {
    form->OnButton = c.Raise;
    TMessageBoxWatcher watcher;
    journal.clear();
    SendMessageW(form->Button1->Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    ExpectSequence({"Button1Click"}, journal);
    if (!c.Text) {
      EXPECT_TRUE(watcher.Seen().empty());
      continue;
    }
    ASSERT_EQ(watcher.Seen().size(), 1u) << Narrow(c.Text);
    const TBoxSeen& box = watcher.Seen()[0];
    EXPECT_EQ(box.Text, c.Text);
    EXPECT_EQ(box.Caption, L"Проба заголовка");
    EXPECT_TRUE(box.ErrorIcon);
    EXPECT_EQ(box.Buttons.size(), 1u);
  }
  EXPECT_TRUE(IsWindow(form->Handle()));
}

TEST_F(FrameworkTest, PaintingAndDestroyingLeaveNoGdiObjectBehind) {
  const std::int64_t before = GdiLiveTotal();
  TTestForm* form = CreateTestForm(app);
  form->Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  form->Label1->SetCaption("Другая метка");
  form->Label1->Repaint();
  form->Font().SetHeight(-13);
  PumpMessages();
  Free(form);
  EXPECT_EQ(GdiLiveTotal(), before);
  for (int kind = 0; kind < static_cast<int>(TGdiKind::Count); ++kind)
    EXPECT_EQ(GdiLiveCount(static_cast<TGdiKind>(kind)), 0) << "kind " << kind;
}

TEST_F(FrameworkTest, BitmapIsATopDownDibSectionSeenAsBgrRows) {
  TBitmap bitmap(5, 3);
  TPixelView view = bitmap.View();
  ASSERT_EQ(view.Width, 5);
  ASSERT_EQ(view.Height, 3);
  EXPECT_EQ(view.Stride, 16);  // 15 bytes padded to 16
  bitmap.Canvas().SetBrushColor(RGBColor(10, 20, 30));
  bitmap.Canvas().FillRect(TRect{1, 0, 3, 1});  // row 0, columns 1 and 2
  view = bitmap.View();
  const std::uint8_t* row0 = view.Row(0);
  EXPECT_EQ(row0[0], 0);
  EXPECT_EQ(row0[3], 30);  // blue
  EXPECT_EQ(row0[4], 20);  // green
  EXPECT_EQ(row0[5], 10);  // red
  EXPECT_EQ(view.Pixel(3, 0)[0], 0);
  EXPECT_EQ(view.Row(1)[3], 0);
  // Pixels written through the view show in GDI.
  view.Pixel(4, 2)[2] = 255;
  EXPECT_EQ(GetPixel(bitmap.DC(), 4, 2), RGB(255, 0, 0));
  EXPECT_FALSE(bitmap.SetSize(-1, 4));
  EXPECT_FALSE(bitmap.SetSize(100000, 100000));
}

TEST_F(FrameworkTest, TimerTicksThroughItsWindowAndNeedsAnInterval) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(5000);
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(timer.Running());
  SendMessageW(timer.Handle(), WM_TIMER, 1, 0);
  EXPECT_EQ(ticks, 1);
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(10);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
}

TEST_F(FrameworkTest, TabOrderPlacesAmongSiblingsAndTabKeyCycles) {
  TTestForm* form = CreateTestForm(app);
  auto* extra = new TEdit(form);
  extra->SetParent(form);
  extra->SetBounds(8, 90, 50, 21);
  extra->SetTabOrder(1);  // between Button1 (0) and Edit1 (now 2)
  EXPECT_EQ(form->Button1->TabOrder(), 0);
  EXPECT_EQ(extra->TabOrder(), 1);
  EXPECT_EQ(form->Edit1->TabOrder(), 2);
  form->Show();
  PumpMessages();
  EXPECT_EQ(GetFocus(), form->Button1->Handle());
  std::vector<HWND> seen;
  for (int i = 0; i < 3; ++i) {
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    seen.push_back(GetFocus());
  }
  EXPECT_EQ(seen, (std::vector<HWND>{extra->Handle(), form->Edit1->Handle(), form->Button1->Handle()}));
  EXPECT_EQ(form->ActiveControl(), form->Button1);
}

TEST_F(FrameworkTest, ChildWindowsShowAndHideWithTheirControl) {
  TTestForm* form = CreateTestForm(app);
  form->Show();
  PumpMessages();
  HWND edit = form->Edit1->Handle();
  ASSERT_TRUE(IsWindowVisible(edit));
  form->Edit1->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(edit));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  form->Edit1->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(edit));
  // A control hidden before its window exists gets a hidden window.
  auto* late = new TEdit(form);
  late->SetVisible(false);
  late->SetParent(form);
  late->SetBounds(8, 120, 50, 21);
  EXPECT_FALSE(IsWindowVisible(late->Handle()));
  late->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(late->Handle()));
}

TEST_F(FrameworkTest, GraphicControlsReceiveMouseMessagesByDirectDispatch) {
  TTestForm* form = CreateTestForm(app);
  form->Show();
  const TRect label = form->Label1->BoundsRect();
  const LPARAM at = MAKELPARAM(label.Left + 2, label.Top + 2);
  journal.clear();
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, at);
  EXPECT_EQ(MouseControl(), form->Label1);
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, at);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(250, 100));
  EXPECT_EQ(MouseControl(), form);
  ExpectSequence({"Label1Click"}, journal);
}

}  // namespace
