// Broken skin folders chosen from "Available skins" of the running window, with real input: the
// right mouse button on the caption, then the keys down the list and Enter. Each kind of folder
// a skin author (or a download) can leave behind is chosen in turn; after each, the box that is
// due is read back from its window, the window still shows its caption on the screen, and a
// stored skin is chosen again from the same menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/core/FileSystem.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/manager/sSkinManager.h"
#include "tests/app/MenuDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/skin/data/MasterBitmaps.h"
#include "tests/win/WinTestSupport.h"

namespace {

using testskins::MasterBitmap;

using namespace apptest;

const std::string kSkins = "c:\\Skins\\";
const std::string kMaster = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n";
// A frame section that keeps every pixel of the window: the skin is shown.
const std::string kPlainForm = "[FORM]\r\nCOLOR=12632256\r\n";

class SkinFolderRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = StartCalculator();
    window = Form1->Handle();
    provider = Form1->sSkinProvider1;
    ASSERT_NE(provider, nullptr);
    SetForegroundWindow(window);
    PumpMessages();
  }
  void TearDown() override {
    StopCalculator(app);
    std::error_code ec;
    for (const std::string& path : made_) std::filesystem::remove_all(PathFromUtf8(path), ec);
  }

  // A skin folder under the skin directory holding `files` (name, bytes); a name ending in "\"
  // is made a folder.
  void MakeFolder(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string folder = kSkins + name + "\\";
    made_.push_back(folder);
    ASSERT_TRUE(ForceDirectories(folder));
    for (const auto& [file, bytes] : files) {
      if (file.ends_with("\\")) {
        ASSERT_TRUE(ForceDirectories(folder + file));
      } else {
        ASSERT_TRUE(WriteFileBytes(folder + file, bytes)) << file;
      }
    }
  }
  void Remember(const std::string& path) { made_.push_back(path); }

  // The caption on the screen (not the window's own picture): the screen's pixels of the strip
  // between the caption's left end and the buttons.
  std::vector<std::uint8_t> CaptionOnScreen() const {
    RECT r{};
    GetWindowRect(window, &r);
    const RECT strip{r.left + 20, r.top + 1, r.right - 80, r.top + provider->HeaderHeight() - 1};
    TBitmap copy(strip.right - strip.left, strip.bottom - strip.top);
    {
      HDC screen = GetDC(nullptr);
      BitBlt(copy.DC(), 0, 0, copy.Width(), copy.Height(), screen, strip.left, strip.top, SRCCOPY);
      ReleaseDC(nullptr, screen);
    }
    const TPixelView view = copy.View();
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < view.Height; ++y) bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
    return bytes;
  }
  // The window is there for the user: the screen's caption point belongs to it, and the caption
  // is more than one colour (its text at least).
  void ExpectCaptionOnScreen() {
    PumpMessages();
    RECT r{};
    GetWindowRect(window, &r);
    const POINT caption{r.left + 100, r.top + provider->HeaderHeight() / 2};
    EXPECT_EQ(GetAncestor(WindowFromPoint(caption), GA_ROOT), window);
    const std::vector<std::uint8_t> shown = CaptionOnScreen();
    bool varied = false;
    for (std::size_t i = 3; i + 2 < shown.size() && !varied; i += 3)
      varied = shown[i] != shown[0] || shown[i + 1] != shown[1] || shown[i + 2] != shown[2];
    EXPECT_TRUE(varied) << "the caption shows one colour only";
  }

  // Chooses `name` from "Available skins" with the real mouse: a right click on the caption, the
  // mouse over "Available skins" until its list opens, a click on the skin there. True when the
  // list held it (by the text the platform holds, where "&&" shows one "&").
  bool ChooseSkin(const std::string& name) { return ChooseSkinShownAs(name, name); }
  // The same for a skin whose item shows `shown`.
  bool ChooseSkinShownAs(const std::string& name, const std::string& shown) {
    std::wstring text;
    for (wchar_t ch : Widen(shown)) text += ch == L'&' ? std::wstring(L"&&") : std::wstring(1, ch);
    bool chosen = false;
    HWND top = nullptr;
    listed_.clear();
    TMenuDriver driver(80, [&](int step) {
      const std::vector<HWND> open = MenuWindows();
      if (step == 0) {
        top = open.front();
        MouseTo(Middle(ShownItem(top, 0).Screen));
        return true;
      }
      HWND list = SubMenuBeside(open, top);
      if (list == nullptr) {
        if (step < 40) return true;  // the list opens after a short delay
        EndMenu();
        return false;
      }
      listed_ = ListedTexts(list);
      GetWindowRect(list, &listRect_);
      const auto at = std::find(listed_.begin(), listed_.end(), text);
      if (at == listed_.end()) {
        EndMenu();
        return false;
      }
      MouseTo(Middle(ShownItem(list, static_cast<int>(at - listed_.begin())).Screen));
      MouseButton(MOUSEEVENTF_LEFTDOWN);
      MouseButton(MOUSEEVENTF_LEFTUP);
      chosen = true;
      return false;
    });
    RECT r{};
    GetWindowRect(window, &r);
    MouseTo(POINT{r.left + 100, r.top + provider->BorderHeight() + 5});
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    PumpMessages();
    EXPECT_TRUE(chosen) << name << " not chosen from the list";
    return chosen;
  }
  // The items of an open menu as the platform holds them: "(separator)" for a separator.
  static std::vector<std::wstring> ListedTexts(HWND menuWindow) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[512]{};
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STRING;
      info.dwTypeData = text;
      info.cch = 512;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      texts.push_back((info.fType & MFT_SEPARATOR) ? std::wstring(L"(separator)") : std::wstring(text));
    }
    return texts;
  }
  // A stored skin chosen again from the same menu, and the frame answers: the close button under
  // the mouse.
  void ExpectAStoredSkinCanBeChosen() {
    ASSERT_TRUE(ChooseSkin("LongHorn (internal)"));
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), "LongHorn (internal)");
    EXPECT_TRUE(sSkinData->Active);
    const TRect close = provider->ButtonClose.Rect;
    RECT r{};
    GetWindowRect(window, &r);
    const LPARAM at = MAKELPARAM(r.left + (close.Left + close.Right) / 2, r.top + (close.Top + close.Bottom) / 2);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, at), HTCLOSE);
    ExpectCaptionOnScreen();
  }

  TApplication* app = nullptr;
  HWND window = nullptr;
  TsSkinProvider* provider = nullptr;
  std::vector<std::wstring> listed_;  // the skin list as last shown
  RECT listRect_{};                   // and where it was on the screen

 private:
  std::vector<std::string> made_;
};

// Each kind of refused folder: the box (its caption, its whole text) and then the skin of before,
// on the screen as it was.
TEST_F(SkinFolderRefusalTest, EachBrokenFolderIsRefusedWithABoxThatNamesItAndTheSkinOfBeforeStays) {
  struct TCase {
    std::string Folder;
    std::vector<std::pair<std::string, std::string>> Files;
    std::wstring Caption;  // of the box
    std::wstring Text;     // the box's whole text
  };
  const std::string master = MasterBitmap(40, 30, 40);
  // 16 MB of comment lines after a sound beginning, and one byte more.
  std::string huge = kMaster + kPlainForm;
  huge.resize(static_cast<std::size_t>(kMaxOptionsBytes) + 1, ';');
  const std::vector<TCase> cases = {
      {"No options", {{"Master.bmp", master}}, kTitle,
       L"The skin \"No options\" could not be loaded: the folder c:\\Skins\\No options\\ has no \"Options.dat\" file."},
      {"Options is a folder", {{"Master.bmp", master}, {"Options.dat\\", ""}}, kTitle,
       L"The skin \"Options is a folder\" could not be loaded: \"Options.dat\" in the folder c:\\Skins\\Options is a "
       L"folder\\ is a folder, not a file."},
      {"Huge options", {{"Master.bmp", master}, {"Options.dat", huge}}, kTitle,
       L"The skin \"Huge options\" could not be loaded: \"Options.dat\" in the folder c:\\Skins\\Huge options\\ is "
       L"larger than 16 MB (16777217 bytes) and is not read."},
      // Loader errors: where the loader was, then its own text.
      {"Bad mask number", {{"Master.bmp", master}, {"Options.dat", kMaster + kPlainForm + "[BUTTON]\r\nBORDERSMASK=#(x,0,30,20),3,1\r\n"}},
       kTitle,
       L"The skin \"Bad mask number\" could not be loaded: Options.dat, [BUTTON] BORDERSMASK: 'x' is not a valid "
       L"integer value."},
      {"Bad gradient", {{"Master.bmp", master}, {"Options.dat", kMaster + "[FORM]\r\nHOTGRADIENTDATA=1;2;y;4;5\r\n"}}, kTitle,
       L"The skin \"Bad gradient\" could not be loaded: Options.dat, [FORM] HOTGRADIENTDATA: 'y' is not a valid integer "
       L"value."},
      // The skinning engine's own box, its text kept whole.
      {"Old format", {{"Master.bmp", master}, {"Options.dat", kMaster + "[TSEDIT]\r\nCOLOR=1\r\n"}}, L"Error",
       L"The skin \"Old format\" could not be loaded: " + Widen(kOldFormatMessage)},
      {"No frame", {{"Master.bmp", master}, {"Options.dat", kMaster + "[EDIT]\r\nCOLOR=1\r\n"}}, kTitle,
       L"The skin \"No frame\" has no section \"FORM\" for the window's frame."},
      // Frames whose region would hide what the user needs: a border mask whose corner pieces
      // (a third of its width each, a third of its height deep) are all transparent, 800 x 50
      // pixels, wider than the window; or only its right one, 100 x 50, over the close button.
      {"No caption",
       {{"Master.bmp", MasterBitmap(2400, 150, 0)},
        {"Options.dat", kMaster + kPlainForm + "BORDERSMASK=#(0,0,2400,150),1,0\r\n"}},
       kTitle,
       L"The skin \"No caption\" could not be loaded: its \"FORM\" border mask leaves no visible pixel of the window's "
       L"caption."},
      {"No close button",
       {{"Master.bmp", MasterBitmap(300, 150, 200)},
        {"Options.dat", kMaster + kPlainForm + "BORDERSMASK=#(0,0,300,150),1,0\r\nBICONCLOSE=#(0,0,60,20),3,0\r\n"}},
       kTitle,
       L"The skin \"No close button\" could not be loaded: its \"FORM\" border mask leaves no visible pixel of the "
       L"window's close button."},
  };
  for (const TCase& c : cases) MakeFolder(c.Folder, c.Files);

  // A skin other than the one at start, and a calculation.
  ASSERT_TRUE(ChooseSkin("MacOS (internal)"));
  SetWindowTextW(Form1->Edit20->Handle(), L"12");
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  const std::string result = Form1->ResultField("Edit1")->Text();
  ASSERT_NE(result, "");
  const std::vector<std::uint8_t> caption = CaptionOnScreen();
  const std::size_t sections = gd.size();

  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Folder);
    auto boxes = std::make_unique<TMessageBoxWatcher>();
    ASSERT_TRUE(ChooseSkin(c.Folder));
    EXPECT_EQ(boxes->Seen().size(), 1u);
    if (!boxes->Seen().empty()) {
      EXPECT_EQ(boxes->Seen()[0].Caption, c.Caption);
      EXPECT_EQ(boxes->Seen()[0].Text, c.Text);
      EXPECT_TRUE(boxes->Seen()[0].ErrorIcon);
    }
    boxes.reset();
    // A stored skin again where a folder was taken (the old code did), so that the next
    // case starts from the same skin.
    if (Form1->sSkinManager1->SkinName() != "MacOS (internal)") {
      ADD_FAILURE() << "the skin changed to " << Form1->sSkinManager1->SkinName();
      ASSERT_TRUE(ChooseSkin("MacOS (internal)"));
      continue;
    }
    // The skin of before, on the screen as before, with what the user had.
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), "MacOS (internal)");
    EXPECT_TRUE(sSkinData->Active);
    EXPECT_EQ(gd.size(), sections);
    EXPECT_EQ(Form1->ResultField("Edit1")->Text(), result);
    PumpMessages();
    EXPECT_TRUE(CaptionOnScreen() == caption) << "the caption is drawn as before";
    ExpectCaptionOnScreen();
  }
  // Any of them, and then a stored skin from the same menu.
  auto boxes = std::make_unique<TMessageBoxWatcher>();
  ExpectAStoredSkinCanBeChosen();
  EXPECT_TRUE(boxes->Seen().empty());
  EXPECT_FALSE(app->Terminated());
}

// An "Options.dat" that is a link to a file outside the skin directory is refused like a missing
// one; a link inside the skin directory is followed. Where the system makes no links for this
// process, there is nothing to choose.
TEST_F(SkinFolderRefusalTest, AnOptionsFileThatLeadsOutOfTheSkinDirectoryIsRefused) {
  const std::string outside = "c:\\Outside skins\\";
  Remember(outside);
  ASSERT_TRUE(ForceDirectories(outside));
  ASSERT_TRUE(WriteFileBytes(outside + "Options.dat", kMaster + kPlainForm));
  MakeFolder("Linked out", {{"Master.bmp", MasterBitmap(40, 30, 40)}});
  const std::wstring link = Widen(kSkins + "Linked out\\Options.dat");
  if (!CreateSymbolicLinkW(link.c_str(), Widen(outside + "Options.dat").c_str(), 0x2 /* unprivileged */) &&
      !CreateSymbolicLinkW(link.c_str(), Widen(outside + "Options.dat").c_str(), 0))
    GTEST_SKIP() << "no symbolic links here (error " << GetLastError() << ")";
  // Wine answers success without making a link.
  if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "the system made no link";
  const std::string before = Form1->sSkinManager1->SkinName();
  auto boxes = std::make_unique<TMessageBoxWatcher>();
  ASSERT_TRUE(ChooseSkin("Linked out"));
  ASSERT_EQ(boxes->Seen().size(), 1u);
  EXPECT_EQ(boxes->Seen()[0].Text, L"The skin \"Linked out\" could not be loaded: \"Options.dat\" in the folder "
                                   L"c:\\Skins\\Linked out\\ leads out of the skin directory c:\\Skins.");
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), before);
  ExpectCaptionOnScreen();
  boxes.reset();
  ExpectAStoredSkinCanBeChosen();
}

// Names that a menu would take for its own syntax are skins like any other: listed as they are
// and chosen by their whole name.
TEST_F(SkinFolderRefusalTest, NamesWithAmpersandsOrDashesAreListedAndChosenAsTheyAre) {
  const std::string master = MasterBitmap(40, 30, 40);
  const std::vector<std::string> names = {"Rock&Roll", "-", "-x-", "&&", "A&"};
  for (const std::string& name : names) MakeFolder(name, {{"Master.bmp", master}, {"Options.dat", kMaster + kPlainForm}});
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    auto boxes = std::make_unique<TMessageBoxWatcher>();
    ASSERT_TRUE(ChooseSkin(name));
    EXPECT_TRUE(boxes->Seen().empty());
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), name);
    EXPECT_EQ(sSkinData->SkinPath, kSkins + name + "\\");
    // In the list as text (ChooseSkin found it there), never as a separator.
    EXPECT_EQ(std::find(listed_.begin(), listed_.end(), L"(separator)"), listed_.end()) << "a skin became a separator";
    ExpectCaptionOnScreen();
    ExpectAStoredSkinCanBeChosen();
  }
}

// A folder named like a stored skin takes its place only when it can be a skin: empty, it leaves
// the stored skin to be chosen, without a box.
TEST_F(SkinFolderRefusalTest, AnEmptyFolderNamedLikeAStoredSkinLeavesTheStoredSkin) {
  MakeFolder("MacOS (internal)", {});
  auto boxes = std::make_unique<TMessageBoxWatcher>();
  ASSERT_TRUE(ChooseSkin("MacOS (internal)"));
  EXPECT_TRUE(boxes->Seen().empty());
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "MacOS (internal)");
  EXPECT_EQ(sSkinData->SkinPath, "");
  ExpectCaptionOnScreen();
}

// "Options.dat" saved as "Unicode" by an editor: UTF-16 with its byte-order mark, read as such.
TEST_F(SkinFolderRefusalTest, AnOptionsFileInUtf16IsReadAsSuch) {
  auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
      bytes += bigEndian ? '\0' : c;
      bytes += bigEndian ? c : '\0';
    }
    return bytes;
  };
  const std::string options = kMaster + "[FORM]\r\nCOLOR=4210752\r\n";
  MakeFolder("Unicode little", {{"Master.bmp", MasterBitmap(40, 30, 40)}, {"Options.dat", utf16(options, false)}});
  MakeFolder("Unicode big", {{"Master.bmp", MasterBitmap(40, 30, 40)}, {"Options.dat", utf16(options, true)}});
  for (const char* name : {"Unicode little", "Unicode big"}) {
    SCOPED_TRACE(name);
    auto boxes = std::make_unique<TMessageBoxWatcher>();
    ASSERT_TRUE(ChooseSkin(name));
    EXPECT_TRUE(boxes->Seen().empty());
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), name);
    ASSERT_EQ(gd.size(), 2u);
    EXPECT_EQ(gd[1].ClassName, "FORM");
    EXPECT_EQ(gd[1].Color, 4210752u);
    ExpectCaptionOnScreen();
    ExpectAStoredSkinCanBeChosen();
  }
}

// A name of 200 characters is shortened in the list, which stays within half the work area; the
// skin chosen is the whole name.
TEST_F(SkinFolderRefusalTest, ALongNameIsShortenedInTheListAndChosenWhole) {
  std::string name = "Long";
  while (name.size() < 200) name += " skin name";
  name.resize(199);
  name += "z";  // a folder name cannot end in a blank
  MakeFolder(name, {{"Master.bmp", MasterBitmap(40, 30, 40)}, {"Options.dat", kMaster + kPlainForm}});
  // What the list shows of it: the item that ends in "..." and begins like the name.
  std::string shown;
  {
    TMenuReader reader;
    RECT r{};
    GetWindowRect(window, &r);
    MouseTo(POINT{r.left + 100, r.top + provider->BorderHeight() + 5});
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    PumpMessages();
    ASSERT_TRUE(reader.Seen());
    for (const std::wstring& item : reader.FirstSubItems())
      if (item.ends_with(L"...") && name.starts_with(Narrow(item.substr(0, item.size() - 3)))) shown = Narrow(item);
  }
  ASSERT_FALSE(shown.empty()) << "no shortened item";
  EXPECT_LT(shown.size(), name.size());
  auto boxes = std::make_unique<TMessageBoxWatcher>();
  ASSERT_TRUE(ChooseSkinShownAs(name, shown));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(listRect_.right - listRect_.left, (work.right - work.left) / 2);
  EXPECT_GT(listRect_.right - listRect_.left, (work.right - work.left) / 4) << "shortened more than needed";
  EXPECT_TRUE(boxes->Seen().empty()) << Narrow(boxes->Seen().empty() ? L"" : boxes->Seen()[0].Text);
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), name);
  ExpectCaptionOnScreen();
  ExpectAStoredSkinCanBeChosen();
}

}  // namespace
