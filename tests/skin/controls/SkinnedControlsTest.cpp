// The skinned controls' share of the pipeline: their skin data (kind, section, messages through
// their windows), the bound label and the transparent label.
#include <gtest/gtest.h>

#include <string>

#include "framework/win/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sScrollBar.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"

namespace {

class SkinnedControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gd.clear();
    for (const char* name : {"EDIT", "COMBOBOX", "BUTTON"}) gd.emplace_back().ClassName = name;
    app = new TApplication(nullptr);
    form = new TForm(app);
    form->SetBounds(50, 50, 400, 200);
  }
  void TearDown() override {
    Free(app);
    gd.clear();
  }
  TApplication* app = nullptr;
  TForm* form = nullptr;
};

TEST_F(SkinnedControlsTest, ControlsHoldSkinDataOfTheirKind) {
  auto* edit = new TsEdit(form);
  auto* combo = new TsComboBox(form);
  auto* button = new TsButton(form);
  auto* bar = new TsScrollBar(form);
  struct TCase {
    TWinControl* Control;
    TsCommonData& SkinData;
    std::int32_t Kind;
    const char* Section;
    std::int32_t Index;
  };
  const TCase cases[] = {{edit, edit->SkinData, 3, "EDIT", 0},
                         {combo, combo->SkinData, 3, "COMBOBOX", 1},
                         {button, button->SkinData, 93, "BUTTON", 2},
                         {bar, bar->SkinData, 142, "TsScrollBar", -1}};
  for (const TCase& c : cases) {
    c.Control->SetParent(form);
    EXPECT_EQ(c.SkinData.ControlKind, c.Kind) << c.Section;
    EXPECT_EQ(c.SkinData.SkinSection, c.Section);
    EXPECT_EQ(c.SkinData.OwnerControl, c.Control) << c.Section;
    EXPECT_EQ(c.SkinData.SkinIndex, c.Index) << c.Section;
    // Skin messages reach the skin data through the control's window and are answered there.
    EXPECT_EQ(SendMessageW(c.Control->Handle(), SKM_GETSKININDEX, 0, 0), c.Index + 1) << c.Section;
    SendMessageW(c.Control->Handle(), SKM_REMOVESKIN, 0, 0);
    EXPECT_EQ(c.SkinData.SkinIndex, -1) << c.Section;
    EXPECT_EQ(c.SkinData.CacheBmp->Width(), 0) << c.Section;
    SendMessageW(c.Control->Handle(), SKM_NEWSKIN, 0, 0);
    EXPECT_EQ(c.SkinData.SkinIndex, c.Index) << c.Section;
    EXPECT_TRUE(c.SkinData.Updating) << c.Section;
    SendMessageW(c.Control->Handle(), SKM_REPAINT, 0, 0);
    EXPECT_FALSE(c.SkinData.Updating) << c.Section;
    // The plain control still works: the window's own messages get through.
    SetWindowTextW(c.Control->Handle(), L"x");
    wchar_t text[8]{};
    GetWindowTextW(c.Control->Handle(), text, 8);
    if (c.Control != bar) {
      EXPECT_STREQ(text, L"x") << c.Section;
    }
  }
}

TEST_F(SkinnedControlsTest, BoundLabelPlacesItsLabelAndGoesWithIt) {
  auto* edit = new TsEdit(form);
  edit->SetName("Edit9");
  edit->SetBounds(200, 80, 80, 21);
  edit->SetParent(form);
  TsBoundLabel& bound = edit->BoundLabel;
  EXPECT_FALSE(bound.Active());
  EXPECT_EQ(bound.Label(), nullptr);

  bound.SetActive(true);
  TsEditLabel* label = bound.Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Name(), "Edit9Label");
  EXPECT_EQ(label->Caption(), "Edit9") << "the control's name without a caption";
  EXPECT_EQ(label->Owner(), edit);
  EXPECT_EQ(label->Parent(), form);
  EXPECT_EQ(label->FocusControl(), edit);
  EXPECT_EQ(label->Alignment(), TAlignment::taRightJustify);
  EXPECT_TRUE(label->Transparent());

  bound.SetCaption("Камеры");
  EXPECT_EQ(label->Caption(), "Камеры");
  struct TCase {
    TsCaptionLayout Layout;
    int Left;  // from the label's width lw
    int Top;   // from the label's height lh
    const char* What;
  };
  const int lw = label->Width(), lh = label->Height();
  const TCase cases[] = {{TsCaptionLayout::sclLeft, 200 - lw - 4, 80 + (21 - lh) / 2 - 1, "left"},
                         {TsCaptionLayout::sclTopLeft, 200, 80 - lh, "top left"},
                         {TsCaptionLayout::sclTopCenter, 200 + (80 - lw) / 2, 80 - lh, "top centre"},
                         {TsCaptionLayout::sclTopRight, 280 - lw, 80 - lh, "top right"}};
  for (const TCase& c : cases) {
    bound.SetLayout(c.Layout);
    EXPECT_EQ(label->Left(), c.Left) << c.What;
    EXPECT_EQ(label->Top(), c.Top) << c.What;
  }
  bound.SetLayout(TsCaptionLayout::sclLeft);
  bound.SetMaxWidth(30);
  EXPECT_FALSE(label->AutoSize());
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Width(), 30);
  EXPECT_EQ(label->Height(), std::max(lh, 21));
  EXPECT_EQ(label->Left(), 200 - 30 - 4);

  const int owned = edit->ComponentCount();
  bound.SetActive(false);
  EXPECT_EQ(bound.Label(), nullptr);
  EXPECT_EQ(edit->ComponentCount(), owned - 1);
  EXPECT_EQ(form->ControlCount(), 1) << "only the edit is left on the form";
}

// A label whose descendant draws in another font: the label's own font takes it over first.
class TFontedLabel : public TsLabel {
 public:
  using TsLabel::TsLabel;
  TFont Other;
  TFont& GetCurrentFont() override { return Other; }
};

TEST_F(SkinnedControlsTest, LabelIsTransparentAndPaintsInItsCurrentFont) {
  auto* plain = new TsLabel(form);
  EXPECT_TRUE(plain->Transparent());
  EXPECT_EQ(plain->ControlStyle() & csOpaque, 0u);
  EXPECT_EQ(&plain->GetCurrentFont(), &plain->Font());

  auto* fonted = new TFontedLabel(form);
  fonted->SetParent(form);
  fonted->SetCaption("Мб");
  fonted->Other.SetColor(clRed);
  TBitmap picture(fonted->Width(), fonted->Height());
  fonted->PaintTo(picture.DC());
  EXPECT_EQ(fonted->Font().Color(), clRed);
}

}  // namespace
