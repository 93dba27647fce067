#include "skin/controls/sLabel.h"

TsLabel::TsLabel(TComponent* owner) : TLabel(owner) { SetTransparent(true); }

TFont& TsLabel::GetCurrentFont() { return Font(); }

void TsLabel::Paint() {
  TFont& current = GetCurrentFont();
  if (&current != &Font()) Font().Assign(current);
  TLabel::Paint();
}
