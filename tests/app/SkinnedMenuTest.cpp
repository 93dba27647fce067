// The calculator's system menu drawn from the skin, on the running window with real mouse input
// through the system's input queue: a right click on the caption opens it; what the open menu
// shows is read back from its window and compared with the item pictures the skinned menus
// compose, normal and under the mouse, in each stored skin; the item heights, the divider and the
// sub-menu; the background painted once per menu level and skin; the empty popup menu of the
// edits; and many open/close cycles across skin changes that leave no GDI object behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/core/FileSystem.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "tests/app/MenuDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/skin/data/HostileSkins.h"
#include "tests/win/WinTestSupport.h"

namespace {

using namespace apptest;

class SkinnedMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    app = apptest::StartCalculator();
    window = Form1->Handle();
    provider = Form1->sSkinProvider1;
    menus = SkinableMenusOf(Form1->sSkinManager1);
    ASSERT_NE(menus, nullptr);
    SetForegroundWindow(window);
    PumpMessages();
  }
  void TearDown() override {
    apptest::StopCalculator(app);
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }
  // A right click on the caption with the real mouse; returns when the menu has closed.
  void RightClickCaption() {
    RECT r{};
    GetWindowRect(window, &r);
    MouseTo(POINT{r.left + 100, r.top + provider->BorderHeight() + 5});
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    PumpMessages();
  }
  // The picture the skinned menus compose for an item of `rect` (menu client coordinates).
  std::vector<std::uint8_t> Composed(TMenuItem* item, const RECT& rect, TOwnerDrawState state) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    TBitmap target(rect.right, rect.bottom);
    menus->sAdvancedDrawItem(item, target.Canvas(), TRect{rect.left, rect.top, rect.right, rect.bottom}, state);
    const TPixelView view = target.View();
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < h; ++y)
      bytes.insert(bytes.end(), view.Pixel(rect.left, rect.top + y), view.Pixel(rect.left, rect.top + y) + 3 * w);
    return bytes;
  }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  HWND window = nullptr;
  TsSkinProvider* provider = nullptr;
  TsSkinableMenus* menus = nullptr;
};

TEST_F(SkinnedMenuTest, SystemMenuIsDrawnFromEachStoredSkinAndFollowsTheMouse) {
  TBitmap measuring(1, 1);
  AssignMenuFont(measuring.Canvas().Font());
  const int heightOfW = measuring.Canvas().TextHeight("W");
  const int itemHeight = std::max(static_cast<int>(std::nearbyint(1.25 * heightOfW)), 16) + 8;
  if (heightOfW == 13) {
    EXPECT_EQ(itemHeight, 24);
  }
  std::printf("menu font: \"W\" is %d pixels high, items %d pixels\n", heightOfW, itemHeight);

  for (const char* skin : {"BlueGlass (internal)", "MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)",
                           "Winter2003 (internal)"}) {
    SCOPED_TRACE(skin);
    Form1->sSkinManager1->SetSkinName(skin);
    PumpMessages();
    const TMenuItem& items = provider->SystemMenu->Items();
    TMenuItem* move = provider->SystemMenu->ItemMove;
    TMenuItem* close = provider->SystemMenu->ItemClose;
    const std::int64_t paintsBefore = MenuBGPaintCount();
    std::vector<std::uint8_t> closeShown, closeNormal, moveShown, moveHot, moveNormal;
    std::vector<RECT> rects;
    bool subOwnerDrawn = false, subIsTheList = false;
    int subItems = 0;
    HWND top = nullptr;
    TMenuDriver driver(80, [&](int step) {
      const std::vector<HWND> open = MenuWindows();
      if (step == 0) {
        top = open.front();
        for (int i = 0; i < 5; ++i) rects.push_back(ShownItem(top, i).Client);
        // Positions: "Available skins", divider, "Move", divider, "Close".
        closeShown = Grab(top, ShownItem(top, 4).Screen);
        closeNormal = Composed(close, rects[4], 0);
        moveNormal = Composed(move, rects[2], 0);
        MouseTo(Middle(ShownItem(top, 2).Screen));
        return true;
      }
      if (step == 1) {
        moveShown = Grab(top, ShownItem(top, 2).Screen);
        moveHot = Composed(move, rects[2], ODS_SELECTED);
        MouseTo(Middle(ShownItem(top, 0).Screen));
        return true;
      }
      HWND list = nullptr;  // the open menu window that is not the top level's
      for (HWND w : open)
        if (w != top) list = w;
      if (list == nullptr) return step < 20;  // the sub-menu opens after a short delay
      const auto sub = reinterpret_cast<HMENU>(SendMessageW(list, MN_GETHMENU, 0, 0));
      subIsTheList = sub != reinterpret_cast<HMENU>(SendMessageW(top, MN_GETHMENU, 0, 0)) && ItemPosition(list, L"MacOS (internal)") >= 0;
      subItems = GetMenuItemCount(sub);
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoW(sub, 0, TRUE, &info);
      subOwnerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
      Key(VK_ESCAPE);
      Key(VK_ESCAPE);
      return false;
    });
    RightClickCaption();
    ASSERT_GE(driver.Steps(), 2);
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0].bottom - rects[0].top, itemHeight);
    EXPECT_EQ(rects[1].bottom - rects[1].top, 2);
    EXPECT_EQ(rects[2].bottom - rects[2].top, itemHeight);
    EXPECT_EQ(rects[4].bottom - rects[4].top, itemHeight);
    // On the screen exactly what the skinned menus compose, the hot look under the mouse.
    EXPECT_TRUE(closeShown == closeNormal);
    EXPECT_TRUE(moveShown == moveHot);
    EXPECT_FALSE(moveHot == moveNormal);
    EXPECT_TRUE(subIsTheList);
    EXPECT_TRUE(subOwnerDrawn);
    // The skin list is made anew at each opening.
    EXPECT_EQ(subItems, items.Items(0)->Count());
    // One background for the top level and one for the skin list, painted once each.
    EXPECT_EQ(MenuBGPaintCount() - paintsBefore, 2);
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), skin);
  }
}

TEST_F(SkinnedMenuTest, DividerIsEtchedAndAltF4EndsEightPixelsBeforeTheEdgeOnTheScreen) {
  std::vector<std::uint8_t> divider, closeRow;
  RECT dividerRect{}, closeRect{};
  TMenuDriver driver(80, [&](int) {
    HWND top = MenuWindows().front();
    const TShownItem line = ShownItem(top, 1), close = ShownItem(top, 4);
    dividerRect = line.Client;
    closeRect = close.Client;
    divider = Grab(top, line.Screen);
    closeRow = Grab(top, close.Screen);
    Key(VK_ESCAPE);
    return false;
  });
  RightClickCaption();
  ASSERT_EQ(driver.Steps(), 1);
  const int w = dividerRect.right - dividerRect.left;
  ASSERT_EQ(dividerRect.bottom - dividerRect.top, 2);
  auto pixel = [](const std::vector<std::uint8_t>& rows, int width, int x, int y) {
    const std::uint8_t* p = &rows[3 * static_cast<std::size_t>(y * width + x)];
    return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
  };
  // Inset by the margin of 4: grey above, white below from x = 4 to x = w - 5.
  EXPECT_EQ(pixel(divider, w, 4, 0), 0x808080u);
  EXPECT_EQ(pixel(divider, w, w / 2, 0), 0x808080u);
  EXPECT_EQ(pixel(divider, w, w / 2, 1), clWhite);
  EXPECT_EQ(pixel(divider, w, w - 5, 1), clWhite);
  EXPECT_NE(pixel(divider, w, 3, 0), 0x808080u);
  EXPECT_NE(pixel(divider, w, w - 4, 0), 0x808080u);
  // "Alt+F4": the shortcut's last inked column against the same text drawn right-aligned
  // against w - 8 in the menu font over the item's own picture without a shortcut.
  TMenuItem* close = provider->SystemMenu->ItemClose;
  const RECT r = closeRect;
  close->SetShortCut(0);
  const std::vector<std::uint8_t> without = Composed(close, r, 0);
  close->SetShortCut(kCloseShortCut);
  const int h = r.bottom - r.top;
  int last = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (pixel(closeRow, w, x, y) != pixel(without, w, x, y)) last = std::max(last, x);
  TBitmap reference(w, h);
  FillDC(reference.DC(), TRect{0, 0, w, h}, clWhite);
  AssignMenuFont(reference.Canvas().Font());
  reference.Canvas().SetBrushStyle(TBrushStyle::bsClear);
  TRect text{0, 0, w - 8, h};
  reference.Canvas().DrawText("Alt+F4", text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  int expected = -1;
  const TPixelView view = reference.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (view.Pixel(x, y)[0] != 0xFF || view.Pixel(x, y)[1] != 0xFF || view.Pixel(x, y)[2] != 0xFF)
        expected = std::max(expected, x);
  EXPECT_EQ(last, expected);
}

TEST_F(SkinnedMenuTest, BackgroundIsPaintedOncePerLevelAndSkinAndFromTheNewSkinAfterAChange) {
  auto openAndClose = [&] {
    TMenuDriver driver(30, [&](int) {
      Key(VK_ESCAPE);
      return false;
    });
    RightClickCaption();
    EXPECT_EQ(driver.Steps(), 1);
  };
  const std::int64_t before = MenuBGPaintCount();
  for (int i = 0; i < 10; ++i) openAndClose();
  EXPECT_EQ(MenuBGPaintCount() - before, 1);
  EXPECT_EQ(MenuBGCount(), 1);
  std::vector<std::uint8_t> blueGlass, macOS;
  auto grabMove = [&](std::vector<std::uint8_t>& into) {
    TMenuDriver driver(60, [&](int) {
      HWND top = MenuWindows().front();
      into = Grab(top, ShownItem(top, 2).Screen);
      Key(VK_ESCAPE);
      return false;
    });
    RightClickCaption();
  };
  grabMove(blueGlass);
  Form1->sSkinManager1->SetSkinName("MacOS (internal)");
  PumpMessages();
  EXPECT_EQ(MenuBGCount(), 0);
  grabMove(macOS);
  EXPECT_EQ(MenuBGPaintCount() - before, 2);
  EXPECT_FALSE(blueGlass == macOS);
}

TEST_F(SkinnedMenuTest, EmptyPopupMenuIsOwnerDrawnAndTheEditsOpenNoMenu) {
  EXPECT_TRUE(Form1->PopupMenu1->OwnerDraw());
  EXPECT_EQ(Form1->PopupMenu1->Items().Count(), 0);
  TMenuReader reader;
  for (TWinControl* edit : {static_cast<TWinControl*>(Form1->Edit20), static_cast<TWinControl*>(Form1->Edit21)}) {
    RECT r{};
    GetWindowRect(edit->Handle(), &r);
    MouseTo(Middle(r));
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    const DWORD until = GetTickCount() + 300;
    while (GetTickCount() < until) PumpMessages();
    EXPECT_FALSE(reader.Seen());
    EXPECT_TRUE(MenuWindows().empty());
  }
}

// A menu item made while a skin is active is skinned as it arrives: put into the edits' popup
// menu it shows the skin's picture, hot under the mouse. Clearing SkinnedPopups changes nothing
// while the skin stays; when it goes the popups are the platform's again and stay so; setting
// it again skins them from the next skin on.
TEST_F(SkinnedMenuTest, ItemsMadeLaterAreSkinnedAndSkinnedPopupsActsAtSkinChanges) {
  auto* later = new TMenuItem(Form1);
  later->SetCaption("Later");
  EXPECT_TRUE(menus->IsOurDraw(later->OnAdvancedDrawItem));
  EXPECT_TRUE(menus->IsOurMeasure(later->OnMeasureItem));
  Form1->PopupMenu1->Items().Add(later);

  struct TOpened {
    bool OwnerDrawn = false;
    std::vector<std::uint8_t> Shown, Composed;
  };
  auto rightClickEdit = [&](bool grabHot) {
    TOpened opened;
    TMenuDriver driver(80, [&](int step) {
      HWND top = MenuWindows().front();
      const TShownItem item = ShownItem(top, 0);
      if (step == 0) {
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(top, MN_GETHMENU, 0, 0));
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, 0, TRUE, &info);
        opened.OwnerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
        if (!grabHot) {
          Key(VK_ESCAPE);
          return false;
        }
        MouseTo(Middle(item.Screen));
        return true;
      }
      opened.Shown = Grab(top, item.Screen);
      opened.Composed = Composed(later, item.Client, ODS_SELECTED);
      Key(VK_ESCAPE);
      return false;
    });
    RECT r{};
    GetWindowRect(Form1->Edit20->Handle(), &r);
    MouseTo(POINT{r.left + 5, r.top + 5});
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    PumpMessages();
    EXPECT_GE(driver.Steps(), 1);
    return opened;
  };
  const TOpened skinned = rightClickEdit(true);
  EXPECT_TRUE(skinned.OwnerDrawn);
  ASSERT_FALSE(skinned.Shown.empty());
  EXPECT_TRUE(skinned.Shown == skinned.Composed);

  // Cleared: nothing changes until the skin goes; then the popups are the platform's again,
  // also after the skin comes back.
  TsSkinManager& manager = *Form1->sSkinManager1;
  manager.SetSkinnedPopups(false);
  manager.SetSkinName("MacOS (internal)");
  PumpMessages();
  EXPECT_TRUE(Form1->PopupMenu1->OwnerDraw());
  manager.SetActive(false);
  PumpMessages();
  EXPECT_FALSE(Form1->PopupMenu1->OwnerDraw());
  EXPECT_FALSE(later->OnAdvancedDrawItem);
  manager.SetActive(true);
  PumpMessages();
  EXPECT_FALSE(Form1->PopupMenu1->OwnerDraw());
  EXPECT_FALSE(rightClickEdit(false).OwnerDrawn);
  // Set again: skinned from the next skin on.
  manager.SetSkinnedPopups(true);
  EXPECT_FALSE(Form1->PopupMenu1->OwnerDraw());
  manager.SetSkinName("BlueGlass (internal)");
  PumpMessages();
  EXPECT_TRUE(Form1->PopupMenu1->OwnerDraw());
  EXPECT_TRUE(menus->IsOurDraw(later->OnAdvancedDrawItem));
  EXPECT_TRUE(rightClickEdit(false).OwnerDrawn);
  Free(later);
}

TEST_F(SkinnedMenuTest, ThousandOpenCloseCyclesAcrossSkinChangesLeaveNoGdiObject) {
  const char* const skins[] = {"MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)",
                               "Winter2003 (internal)", "BlueGlass (internal)"};
  TMenuDriver driver(5, [&](int) {
    EndMenu();
    return false;
  });
  // A first round so that every lazily made object exists; the cached backgrounds are counted
  // apart.
  RightClickCaption();
  DeleteUnusedBmps(true);
  const std::int64_t before = GdiLiveTotal();
  for (int i = 0; i < 1000; ++i) {
    if (i % 200 == 199) {
      Form1->sSkinManager1->SetSkinName(skins[(i / 200) % 5]);
      PumpMessages();
    }
    driver.Restart();
    SendMessageW(window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(0, 0));
    ASSERT_EQ(driver.Steps(), 1) << i;
  }
  DeleteUnusedBmps(true);
  Form1->sSkinManager1->SetSkinName("BlueGlass (internal)");
  PumpMessages();
  DeleteUnusedBmps(true);
  EXPECT_EQ(GdiLiveTotal(), before);
}

}  // namespace

// [SECTION] Skin folders that fail to load ----------------------------------------------------

// Folders in the skin directory "c:\Skins", chosen from "Available skins" as a user does: a right
// click on the caption with the real mouse, then the keys down to "Available skins", right into
// the list, down to the skin and Enter.
class SkinFolderChoiceTest : public SkinnedMenuTest {
 protected:
  void TearDown() override {
    SkinnedMenuTest::TearDown();
    std::error_code ec;
    for (const std::string& folder : folders_) std::filesystem::remove_all(PathFromUtf8(folder), ec);
  }
  void MakeFolder(const std::string& name, const hostile::TSkinText& text) {
    const std::string folder = "c:\\Skins\\" + name + "\\";
    folders_.push_back(folder);
    ASSERT_TRUE(hostile::WriteFolder(folder, text));
  }
  // True when the skin was chosen (the keys given while the list was open).
  bool ChooseSkin(const std::string& name) {
    TStringList names;
    Form1->sSkinManager1->GetSkinNames(names);
    const int position = names.IndexOf(name);
    EXPECT_GE(position, 0) << name;
    bool chosen = false;
    TMenuDriver driver(80, [&](int step) {
      const std::vector<HWND> open = MenuWindows();
      if (step == 0) {
        Key(VK_DOWN);  // "Available skins"
        return true;
      }
      if (step == 1) {
        Key(VK_RIGHT);  // into the list, on its first skin
        return true;
      }
      if (open.size() >= 2 && !chosen) {
        for (int i = 0; i < position; ++i) Key(VK_DOWN);
        Key(VK_RETURN);
        chosen = true;
        return true;
      }
      if (step < 40) return true;  // the list opens after a short delay; the choice closes the menu
      // Never left open: a test that cannot choose fails instead of waiting.
      chosen = false;
      Key(VK_ESCAPE);
      Key(VK_ESCAPE);
      return false;
    });
    RightClickCaption();
    PumpMessages();
    return chosen;
  }
  // What the user has typed and got: inputs, lists and results.
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts = {Form1->Edit20->Text(), Form1->Edit21->Text(),
                                      std::to_string(SendMessageW(Form1->ComboBox1->Handle(), CB_GETCURSEL, 0, 0)),
                                      std::to_string(SendMessageW(Form1->ComboBox2->Handle(), CB_GETCURSEL, 0, 0))};
    for (const char* name : {"Edit1", "Edit5", "Edit10", "Edit19", "sEdit2"}) texts.push_back(Form1->ResultField(name)->Text());
    return texts;
  }
  // The caption strip as the screen shows it.
  std::vector<std::uint8_t> CaptionOnScreen() const {
    RECT r{};
    GetWindowRect(window, &r);
    RECT strip{r.left + 20, r.top, r.right - 40, r.top + provider->HeaderHeight() - 1};
    std::vector<std::uint8_t> bytes;
    TBitmap copy(strip.right - strip.left, strip.bottom - strip.top);
    {
      HDC screen = GetDC(nullptr);
      BitBlt(copy.DC(), 0, 0, copy.Width(), copy.Height(), screen, strip.left, strip.top, SRCCOPY);
      ReleaseDC(nullptr, screen);
    }
    const TPixelView view = copy.View();
    for (int y = 0; y < view.Height; ++y) bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
    return bytes;
  }
  // The frame answers as a whole one: the close button under the mouse, the system menu with
  // its skin list on a right click.
  void ExpectWholeWindow() {
    const TRect close = provider->ButtonClose.Rect;
    RECT r{};
    GetWindowRect(window, &r);
    const LPARAM at = MAKELPARAM(r.left + (close.Left + close.Right) / 2, r.top + (close.Top + close.Bottom) / 2);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, at), HTCLOSE);
    EXPECT_GE(provider->ButtonClose.ImageIndex, 0);
    TMenuReader reader;
    RightClickCaption();
    ASSERT_TRUE(reader.Seen());
    EXPECT_EQ(reader.Items(), (std::vector<std::wstring>{L"Available skins", L"-", L"Move", L"-", L"Close\tAlt+F4"}));
    EXPECT_GE(reader.FirstSubItems().size(), 5u);
  }
  std::vector<std::string> folders_;
};

TEST_F(SkinFolderChoiceTest, AFolderThatFailsToLoadIsReportedThenTheSkinOfBeforeComesBackWhole) {
  const std::string master = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n";
  struct TCase {
    const char* Folder;
    std::string Options;
    std::wstring Caption;  // of the error box
    std::wstring Text;     // a part of its text
  };
  const TCase cases[] = {
      // A conversion error leaves the loader; the application's box shows it.
      {"Fails bad mask line", master + "[EDIT]\r\nBORDERSMASK=#(0, 0,30,20),3,1\r\n", apptest::kTitle,
       L"'' is not a valid integer value."},
      {"Fails bad gradient", master + "[FORM]\r\nGRADIENTDATA=1;2;x;4;5\r\n", apptest::kTitle,
       L"'x' is not a valid integer value."},
      // Refused while loading: the skinning engine's own box.
      {"Fails old format", master + "[TSEDIT]\r\nCOLOR=1\r\n", L"Error", Widen(kOldFormatMessage)},
      // Loads, but has nothing for the window's frame: the window would lose its caption buttons
      // and this menu.
      {"Fails no frame", master + "[EDIT]\r\nCOLOR=1\r\n", apptest::kTitle,
       L"The skin \"Fails no frame\" has no section \"FORM\" for the window's frame."},
  };
  for (const TCase& c : cases) MakeFolder(c.Folder, {c.Options, {}, {}});

  // Inputs and a calculation, in a skin other than the one at start.
  Form1->sSkinManager1->SetSkinName("MacOS (internal)");
  SetWindowTextW(Form1->Edit20->Handle(), L"12");
  SetWindowTextW(Form1->Edit21->Handle(), L"3");
  SendMessageW(Form1->ComboBox1->Handle(), CB_SETCURSEL, 5, 0);
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  const std::vector<std::string> texts = Texts();
  ASSERT_NE(texts[4], "");
  const std::vector<std::uint8_t> caption = CaptionOnScreen();
  const std::size_t sections = gd.size();

  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Folder);
    boxes.reset();
    boxes = std::make_unique<TMessageBoxWatcher>();
    ASSERT_TRUE(ChooseSkin(c.Folder));
    ASSERT_EQ(boxes->Seen().size(), 1u);
    EXPECT_EQ(boxes->Seen()[0].Caption, c.Caption);
    EXPECT_NE(boxes->Seen()[0].Text.find(c.Text), std::wstring::npos) << Narrow(boxes->Seen()[0].Text);
    EXPECT_TRUE(boxes->Seen()[0].ErrorIcon);
    boxes.reset();
    boxes = std::make_unique<TMessageBoxWatcher>();

    // The skin of before, loaded and announced again: the window as it was, inputs and results kept.
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), "MacOS (internal)");
    EXPECT_TRUE(sSkinData->Active);
    EXPECT_EQ(gd.size(), sections);
    EXPECT_TRUE(CaptionOnScreen() == caption) << "the caption is drawn as before";
    EXPECT_EQ(Texts(), texts);
    ExpectWholeWindow();
  }
  EXPECT_FALSE(app->Terminated());
}

TEST_F(SkinFolderChoiceTest, HostileFoldersThatLoadAreChosenAndLeftAgainFromTheMenu) {
  // The kinds of folder that cost the loader most for their size, at a quarter of the stress
  // test's sizes to keep the test short under Wine. Each loads (they hold no error), and the menu
  // still opens on the window they leave, from which a stored skin is chosen again. Each gets a
  // FORM section: without one the frame is not skinned, and the window has no caption buttons
  // and no system menu to leave by.
  for (const hostile::TKindInfo& kind : hostile::Kinds()) {
    SCOPED_TRACE(kind.Name);
    const std::string name = std::string("Hostile ") + kind.Id;
    hostile::TSkinText text = hostile::Make(kind.Kind, kind.Size / 4);
    text.Options += "[FORM]\r\nCOLOR=12632256\r\n";
    MakeFolder(name, text);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ChooseSkin(name));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s: chosen and shown in %.2f s\n", kind.Name, took.count());
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), name);
    EXPECT_TRUE(sSkinData->Active);
    ASSERT_TRUE(ChooseSkin("LongHorn (internal)"));
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), "LongHorn (internal)");
    ExpectWholeWindow();
  }
  EXPECT_FALSE(app->Terminated());
}
