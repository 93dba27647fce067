#pragma once
// The skinned label: the framework's label made transparent. It takes nothing from the skin: it
// shows its own font and colour over whatever its parent paints behind it (on a skinned form,
// the form's skinned background, which the form's provider paints under its labels).
#include "framework/win/Graphics.h"
#include "framework/win/StdCtrls.h"

class TsLabel : public TLabel {
 public:
  explicit TsLabel(TComponent* owner);

  // The font the caption is drawn in; the label's own unless a descendant chooses another.
  virtual TFont& GetCurrentFont();

 protected:
  void Paint() override;
};

// The label a bound label creates beside its control.
class TsEditLabel : public TsLabel {
 public:
  using TsLabel::TsLabel;
};
