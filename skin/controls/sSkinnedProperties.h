#pragma once
// Stored properties that the skinned controls keep for the skinning to come: the skin section
// a control paints from and its bound label's settings; and the skin messages' part of the
// control's skin state, which the controls hand every skin message to.
#include <string>

#include "framework/win/Controls.h"
#include "framework/win/Reader.h"
#include "skin/data/sMessages.h"

// Hands a skin message to `skin` and carries out what it asks of `control`. False for a
// message the skin state does not take (the control's default handling answers it).
inline bool TakeSkinMessage(TsSkinState& skin, TControl& control, TMessage& message) {
  const auto answer = skin.Handle(message.Msg, message.WParam, message.LParam);
  if (!answer.Handled) return false;
  message.Result = answer.Result;
  switch (answer.Reaction) {
    case TsSkinReaction::srInvalidate:
    case TsSkinReaction::srPaintUnskinned:
      control.Invalidate();
      break;
    case TsSkinReaction::srRepaintNow:
    case TsSkinReaction::srRebuildCache:
      control.Repaint();
      break;
    case TsSkinReaction::srNone:
      break;
  }
  return true;
}

struct TsStoredSkinProperties {
  TsSkinState Skin;  // Skin.SkinSection is the stored section name
  bool BoundLabelActive = false;

  bool TakeSkinMessage(TControl& control, TMessage& message) { return ::TakeSkinMessage(Skin, control, message); }

  // "SkinData.SkinSection" and "BoundLabel.Active" / "BoundLabel.Layout" / "BoundLabel.MaxWidth".
  bool Read(TReader& reader, const TDefProperty& property) {
    if (property.Name == "SkinData.SkinSection") {
      Skin.SkinSection = reader.String(property);
    } else if (property.Name == "BoundLabel.Active") {
      BoundLabelActive = reader.Boolean(property);
    } else if (property.Name == "BoundLabel.Layout") {
      reader.Enum<int>(property, {{"sclLeft", 0}, {"sclTopLeft", 1}, {"sclTopCenter", 2}, {"sclTopRight", 3}});
    } else if (property.Name == "BoundLabel.MaxWidth") {
      reader.Integer(property);
    } else {
      return false;
    }
    return true;
  }
};
