// The skinned frame's system menu: its items and captions, which of them a frame shows and
// offers, the skin list it builds (once, however often it is rebuilt) and skin selection from
// it, and the menu the platform actually shows for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/Definition.h"
#include "framework/win/Forms.h"
#include "framework/win/Text.h"
#include "resources/skins/StoredSkins.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/manager/sSkinManager.h"
#include "tests/skin/controls/ManagerTestForm.h"
#include "tests/win/WinTestSupport.h"

namespace {

using controltest::TManagerTestForm;
const char* const kDefinition = controltest::kManagerTestFormDefinition;

// What one menu level shows: "caption" per item, "-" for a separator, "(grey)" after a
// disabled item's caption.
std::vector<std::string> Shown(const TMenuItem& parent) {
  std::vector<std::string> shown;
  for (int i = 0; i < parent.Count(); ++i) {
    const TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    shown.push_back(item->IsLine() ? "-" : item->Caption() + (item->Enabled() ? "" : " (grey)"));
  }
  return shown;
}

class SystemMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass<TsSkinManager>("TsSkinManager");
    UseSkinableMenus();
    ManagerHooks().LoadStoredSkins = LoadStoredSkins;
    app = new TApplication(nullptr);
    form = new TManagerTestForm(app, kDefinition);
    menu = std::make_unique<TsSystemMenu>(nullptr, form);
    menu->ProviderBorderIcons = [this] { return borderIcons; };
    menu->ProviderSkinManager = [this] { return form->sSkinManager1; };
  }
  void TearDown() override {
    menu.reset();
    delete app;
  }
  TApplication* app = nullptr;
  TManagerTestForm* form = nullptr;
  std::unique_ptr<TsSystemMenu> menu;
  TsBorderIcons borderIcons{biSystemMenu, biMinimize, biMaximize};
};

TEST_F(SystemMenuTest, ItemsInOrderWithNamesCaptionsAndTheCloseShortcut) {
  const TMenuItem& items = menu->Items();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"ItemRestore", "Restore"}, {"ItemMove", "Move"},         {"Itemsize", "Size"}, {"ItemMinimize", "Minimize"},
      {"ItemMaximize", "Maximize"}, {"", "-"},                  {"ItemClose", "Close"}};
  ASSERT_EQ(items.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < items.Count(); ++i) {
    EXPECT_EQ(items.Items(i)->Name(), expected[static_cast<std::size_t>(i)].first) << i;
    EXPECT_EQ(items.Items(i)->Caption(), expected[static_cast<std::size_t>(i)].second) << i;
  }
  EXPECT_EQ(menu->ItemClose->ShortCut(), 0x8073);
  EXPECT_EQ(ShortCutToText(menu->ItemClose->ShortCut()), "Alt+F4");
  EXPECT_EQ(LoadResourceString(kSysMenuAvailableSkins), "Available skins");
  EXPECT_EQ(LoadResourceString(1), "");
}

TEST_F(SystemMenuTest, BorderStyleWindowStateAndBorderIconsDecideWhatShows) {
  using B = TFormBorderStyle;
  struct Case {
    B style;
    TsBorderIcons icons;
    bool maximize;  // the window is maximized first
    std::vector<std::string> shown;
  };
  const TsBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  const Case cases[] = {
      {B::bsDialog, all, false, {"Move", "-", "Close"}},
      {B::bsSingle, all, false, {"Restore (grey)", "Move", "Size (grey)", "Minimize", "-", "Close"}},
      {B::bsSizeable, all, false, {"Restore (grey)", "Move", "Size", "Minimize", "Maximize", "-", "Close"}},
      {B::bsSizeable, all, true, {"Restore", "Move (grey)", "Size", "Minimize", "Maximize (grey)", "-", "Close"}},
      {B::bsSizeable, {biSystemMenu}, false, {"Restore (grey)", "Move", "Size", "Minimize (grey)", "Maximize (grey)", "-", "Close"}},
      {B::bsSizeable, {biMinimize, biMaximize}, false, {"Move", "Size", "-"}},
      {B::bsToolWindow, all, false, {"Move", "-", "Close"}},
      {B::bsSizeToolWin, all, false, {"Move", "Size", "-", "Close"}},
      {B::bsNone, all, false, {"Move", "-", "Close"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    SCOPED_TRACE(c.maximize);
    form->SetBorderStyle(c.style);
    borderIcons = c.icons;
    if (c.maximize) ShowWindow(form->Handle(), SW_SHOWMAXIMIZED);
    menu->UpdateItems();
    EXPECT_EQ(Shown(menu->Items()), c.shown);
    if (c.maximize) ShowWindow(form->Handle(), SW_RESTORE);
    ShowWindow(form->Handle(), SW_HIDE);
  }
  // A menu without a form leaves its items alone.
  TsSystemMenu orphan(nullptr, nullptr);
  orphan.ItemMove->SetVisible(false);
  orphan.UpdateItems();
  EXPECT_FALSE(orphan.ItemMove->Visible());
}

TEST_F(SystemMenuTest, SkinListHoldsStoredSkinsAndFoldersOnceHoweverOftenItIsRebuilt) {
  // Two skin folders next to the stored skins; they sort in among them regardless of case.
  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path skins = std::filesystem::path(temp) / L"caption-menu-skins";
  std::filesystem::create_directories(skins / L"Zeta");
  std::filesystem::create_directories(skins / L"beta");
  form->sSkinManager1->SetSkinDirectory(Narrow(skins.wstring()));

  for (int round = 0; round < 3; ++round) {
    menu->RemoveSkinItems();
    menu->MakeSkinItems();
  }
  menu->UpdateItems();
  EXPECT_EQ(Shown(menu->Items()), (std::vector<std::string>{"Available skins", "-", "Move", "-", "Close"}));
  const TMenuItem* list = menu->Items().Items(0);
  EXPECT_EQ(list->Name(), "SkinSelectItem");
  EXPECT_EQ(Shown(*list), (std::vector<std::string>{"beta", "BlueGlass (internal)", "LongHorn (internal)",
                                                    "MacMetal (internal)", "MacOS (internal)", "Winter2003 (internal)",
                                                    "Zeta"}));
  for (int i = 0; i < list->Count(); ++i) EXPECT_EQ(list->Items(i)->Name(), "SkinSelectItem" + std::to_string(i));

  menu->RemoveSkinItems();
  EXPECT_EQ(menu->Items().Count(), 7);
  EXPECT_EQ(menu->Items().Items(0)->Name(), "ItemRestore");
  std::filesystem::remove_all(skins);

  // Without a manager there is no list.
  menu->ProviderSkinManager = nullptr;
  menu->MakeSkinItems();
  EXPECT_EQ(menu->Items().Count(), 7);
}

TEST_F(SystemMenuTest, ChoosingASkinSelectsItThroughTheManager) {
  TsSkinManager* manager = form->sSkinManager1;
  menu->MakeSkinItems();
  TMenuItem* list = menu->Items().Items(0);
  TMenuItem* winter = list->Items(4);
  ASSERT_EQ(winter->Caption(), "Winter2003 (internal)");
  // Accelerator marks in a caption are not part of the skin's name.
  winter->SetCaption("&Winter2003 (inter&nal)");
  winter->Click();
  EXPECT_EQ(manager->SkinName(), "Winter2003 (internal)");
  EXPECT_TRUE(sSkinData->Active);
  EXPECT_EQ(ma.size(), 63u);

  // An inactive manager is switched on by the choice.
  manager->SetActive(false);
  EXPECT_TRUE(ma.empty());
  list->Items(1)->Click();
  EXPECT_TRUE(manager->Active());
  EXPECT_EQ(manager->SkinName(), "LongHorn (internal)");
  EXPECT_EQ(ma.size(), 52u);
}

TEST_F(SystemMenuTest, ThePlatformShowsTheVisibleItemsWithTheShortcut) {
  form->Show();
  menu->MakeSkinItems();
  menu->UpdateItems();
  menu->SetWindowHandle(form->Handle());
  TMenuReader reader;
  menu->Popup(100, 100);
  ASSERT_TRUE(reader.Seen());
  EXPECT_EQ(reader.Items(), (std::vector<std::wstring>{L"Available skins", L"-", L"Move", L"-", L"Close\tAlt+F4"}));
  EXPECT_EQ(reader.FirstSubItems().size(), 5u);
  EXPECT_EQ(form->sSkinManager1->SkinName(), "BlueGlass (internal)");  // nothing chosen
}

}  // namespace
