#include "app/Unit1.h"

#include <string>

#include "app/Calculation.h"
#include "resources/skins/StoredSkins.h"
#include "skin/controls/sSkinableMenus.h"

TForm1* Form1 = nullptr;

namespace {

// The twenty result fields.
constexpr const char* kResultFields[] = {"Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",
                                         "Edit8",  "Edit9",  "Edit10", "Edit11", "Edit12", "Edit13", "Edit14",
                                         "Edit15", "Edit16", "Edit17", "Edit18", "Edit19", "sEdit2"};

}  // namespace

void RegisterForm1Classes() {
  // The skin manager's skinned menus and the program's stored skins.
  UseSkinableMenus();
  ManagerHooks().LoadStoredSkins = LoadStoredSkins;
  RegisterClass<TsLabel>("TsLabel");
  RegisterClass<TKvLabel>("TKvLabel");
  RegisterClass<TsComboBox>("TsComboBox");
  RegisterClass<TsScrollBar>("TsScrollBar");
  RegisterClass<TsEdit>("TsEdit");
  RegisterClass<TsButton>("TsButton");
  RegisterClass<TsSkinManager>("TsSkinManager");
  RegisterClass<TsSkinProvider>("TsSkinProvider");
  RegisterClass<TPopupMenu>("TPopupMenu");
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterForm1Classes();
  TRootBindings& b = Bindings();
  b.Field("sLabel1", sLabel1);
  b.Field("ComboBox1", ComboBox1);
  b.Field("sLabel2", sLabel2);
  b.Field("ComboBox2", ComboBox2);
  b.Field("sLabel3", sLabel3);
  b.Field("sLabel4", sLabel4);
  b.Field("ScrollBar1", ScrollBar1);
  b.Field("ScrollBar2", ScrollBar2);
  b.Field("Edit20", Edit20);
  b.Field("Edit21", Edit21);
  b.Field("sLabel5", sLabel5);
  b.Field("sLabel6", sLabel6);
  b.Field("Edit1", Edit1);
  b.Field("Edit2", Edit2);
  b.Field("Edit3", Edit3);
  b.Field("Edit4", Edit4);
  b.Field("Edit5", Edit5);
  b.Field("Edit6", Edit6);
  b.Field("Edit7", Edit7);
  b.Field("Edit8", Edit8);
  b.Field("Edit9", Edit9);
  b.Field("Edit11", Edit11);
  b.Field("Edit12", Edit12);
  b.Field("Edit13", Edit13);
  b.Field("Edit14", Edit14);
  b.Field("Edit15", Edit15);
  b.Field("Edit16", Edit16);
  b.Field("Edit17", Edit17);
  b.Field("Edit18", Edit18);
  b.Field("Edit19", Edit19);
  b.Field("LEAD", LEAD);
  b.Field("sLabel7", sLabel7);
  b.Field("sLabel8", sLabel8);
  b.Field("sLabel9", sLabel9);
  b.Field("sLabel10", sLabel10);
  b.Field("sLabel11", sLabel11);
  b.Field("sLabel12", sLabel12);
  b.Field("sLabel13", sLabel13);
  b.Field("sLabel14", sLabel14);
  b.Field("Button1", Button1);
  b.Field("Label1", Label1);
  b.Field("Label2", Label2);
  b.Field("sSkinProvider1", sSkinProvider1);
  b.Field("sSkinManager1", sSkinManager1);
  b.Field("PopupMenu1", PopupMenu1);
  b.Field("Edit10", Edit10);
  b.Field("sEdit2", sEdit2);
  b.Field("sLabel15", sLabel15);
  b.Field("KvLabel1", KvLabel1);

  b.Method("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
  b.Method("ComboBox2Change", TNotifyEvent([this](TObject* s) { ComboBox2Change(s); }));
  b.Method("ScrollBar1Scroll", TScrollEvent([this](TObject* s, TScrollCode c, int& p) { ScrollBar1Scroll(s, c, p); }));
  b.Method("ScrollBar2Scroll", TScrollEvent([this](TObject* s, TScrollCode c, int& p) { ScrollBar2Scroll(s, c, p); }));
  b.Method("Edit20Change", TNotifyEvent([this](TObject* s) { Edit20Change(s); }));
  b.Method("Edit21Change", TNotifyEvent([this](TObject* s) { Edit21Change(s); }));
  b.Method("Edit20KeyPress", TKeyPressEvent([this](TObject* s, wchar_t& k) { Edit20KeyPress(s, k); }));
  b.Method("Edit21KeyPress", TKeyPressEvent([this](TObject* s, wchar_t& k) { Edit21KeyPress(s, k); }));

  ReadDefinitionResource(L"TFORM1");
}

TForm1::~TForm1() = default;

TsEdit* TForm1::ResultField(std::string_view name) const { return dynamic_cast<TsEdit*>(FindComponent(name)); }

// Reads the four inputs, computes every cell and writes the twenty texts. A bad number stops
// everything before the first field is written.
void TForm1::Button1Click(TObject*) {
  const int duration = ComboBox2->ItemIndex();
  const auto texts = CalculateFieldTexts(duration, Edit21->Text(), Edit20->Text(), ComboBox1->ItemIndex());
  for (const auto& [field, text] : texts) ResultField(field)->SetText(text);
  calculatedDuration_ = duration;
}

// The unit labels follow the duration at once. The amounts in the fields were computed for the
// duration of the last calculation and in its unit: under another duration's unit they would
// read as a different amount, so another duration empties them until the next calculation.
// Choosing the duration they were computed for again keeps them.
void TForm1::ComboBox2Change(TObject*) {
  const int index = ComboBox2->ItemIndex();
  for (int duration = 0; duration <= 6; ++duration) {
    if (index != duration) continue;
    const std::string unit(DurationUnit(duration));
    Label1->SetCaption(unit);
    Label2->SetCaption(unit);
  }
  if (calculatedDuration_ == kNoCalculation || index == calculatedDuration_) return;
  for (const char* name : kResultFields) ResultField(name)->SetText("");
  calculatedDuration_ = kNoCalculation;
}

// The edit shows the bar's position property (the argument is not used).
void TForm1::ScrollBar1Scroll(TObject*, TScrollCode, int&) { Edit20->SetText(std::to_string(ScrollBar1->Position())); }

void TForm1::ScrollBar2Scroll(TObject*, TScrollCode, int&) { Edit21->SetText(std::to_string(ScrollBar2->Position())); }

// Each step reads the text again: setting it from here runs this handler again, nested, for
// the new text, which ends by moving the bar; the outer run then finds the same position.
// The "1" that replaces an empty or zero text is selected, so that what the user types next
// replaces it (after deleting the text, "12" gives 12, not "1" with "2" typed in front of it).
// The bound that replaces a larger number leaves the caret after it with nothing selected: a
// digit typed on makes a larger number again and the bound stays ("999" ends as "80"), where a
// selected bound would give way to that digit alone.
void TForm1::CoupleEditToBar(TsEdit* edit, TsScrollBar* bar, int upper) {
  if (edit->Text().empty() || TextToInt(edit->Text()) <= 0) {
    edit->SetText("1");
    edit->SelectAll();
  }
  if (TextToInt(edit->Text()) > upper) {
    const std::string bound = std::to_string(upper);
    edit->SetText(bound);
    edit->SetSelStart(static_cast<int>(bound.size()));
  }
  bar->SetPosition(TextToInt(edit->Text()));
}

void TForm1::Edit20Change(TObject*) { CoupleEditToBar(Edit20, ScrollBar1, 25); }

void TForm1::Edit21Change(TObject*) { CoupleEditToBar(Edit21, ScrollBar2, 80); }

// Only digits and backspace get through; everything else, clipboard shortcuts included, is
// discarded.
void TForm1::FilterDigits(wchar_t& key) {
  if (!((key >= L'0' && key <= L'9') || key == 8)) key = 0;
}

void TForm1::Edit20KeyPress(TObject*, wchar_t& key) { FilterDigits(key); }

void TForm1::Edit21KeyPress(TObject*, wchar_t& key) { FilterDigits(key); }
