#pragma once
// The calculator window: TForm1, its components (filled from the stored definition, resource
// TFORM1) and its event handlers: the calculation on "Расчет", the coupling of each input edit
// with its scroll bar, the key filter of the two edits and the unit labels of the duration.
#include <string>

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "label/KvLabel.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sScrollBar.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"

class TForm1 : public TForm {
 public:
  // Fields in their declared order.
  TsLabel* sLabel1 = nullptr;
  TsComboBox* ComboBox1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsComboBox* ComboBox2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsScrollBar* ScrollBar1 = nullptr;
  TsScrollBar* ScrollBar2 = nullptr;
  TsEdit* Edit20 = nullptr;
  TsEdit* Edit21 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsEdit* Edit1 = nullptr;
  TsEdit* Edit2 = nullptr;
  TsEdit* Edit3 = nullptr;
  TsEdit* Edit4 = nullptr;
  TsEdit* Edit5 = nullptr;
  TsEdit* Edit6 = nullptr;
  TsEdit* Edit7 = nullptr;
  TsEdit* Edit8 = nullptr;
  TsEdit* Edit9 = nullptr;
  TsEdit* Edit11 = nullptr;
  TsEdit* Edit12 = nullptr;
  TsEdit* Edit13 = nullptr;
  TsEdit* Edit14 = nullptr;
  TsEdit* Edit15 = nullptr;
  TsEdit* Edit16 = nullptr;
  TsEdit* Edit17 = nullptr;
  TsEdit* Edit18 = nullptr;
  TsEdit* Edit19 = nullptr;
  TsLabel* LEAD = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsLabel* sLabel13 = nullptr;
  TsLabel* sLabel14 = nullptr;
  TsButton* Button1 = nullptr;
  TsLabel* Label1 = nullptr;
  TsLabel* Label2 = nullptr;
  TsSkinProvider* sSkinProvider1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TsEdit* Edit10 = nullptr;
  TsEdit* sEdit2 = nullptr;
  TsLabel* sLabel15 = nullptr;
  TKvLabel* KvLabel1 = nullptr;

  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  void Button1Click(TObject* sender);
  void ComboBox2Change(TObject* sender);
  void ScrollBar1Scroll(TObject* sender, TScrollCode scrollCode, int& scrollPos);
  void ScrollBar2Scroll(TObject* sender, TScrollCode scrollCode, int& scrollPos);
  void Edit20Change(TObject* sender);
  void Edit21Change(TObject* sender);
  void Edit20KeyPress(TObject* sender, wchar_t& key);
  void Edit21KeyPress(TObject* sender, wchar_t& key);

  // The result field of that name ("Edit1" .. "Edit19", "sEdit2").
  TsEdit* ResultField(std::string_view name) const;

 private:
  // Keeps an edit's text a whole number in 1..upper and moves its scroll bar there.
  void CoupleEditToBar(TsEdit* edit, TsScrollBar* bar, int upper);
  static void FilterDigits(wchar_t& key);

  static constexpr int kNoCalculation = -1;
  // The duration index the result fields were computed for; kNoCalculation while they are empty.
  int calculatedDuration_ = kNoCalculation;
};

extern TForm1* Form1;

// Makes the classes of the window definition known to the reader.
void RegisterForm1Classes();
