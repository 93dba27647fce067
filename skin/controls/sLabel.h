#pragma once
// The skinned label: for now the framework's label.
#include "framework/win/StdCtrls.h"

class TsLabel : public TLabel {
 public:
  using TLabel::TLabel;
};
