#pragma once
// Stored properties that the skinned controls keep for the skinning to come: the name of the
// skin section a control paints from and its bound label's settings. Nothing reads them yet.
#include <string>

#include "framework/win/Reader.h"

struct TsStoredSkinProperties {
  std::string SkinSection;
  bool BoundLabelActive = false;

  // "SkinData.SkinSection" and "BoundLabel.Active" / "BoundLabel.Layout" / "BoundLabel.MaxWidth".
  bool Read(TReader& reader, const TDefProperty& property) {
    if (property.Name == "SkinData.SkinSection") {
      SkinSection = reader.String(property);
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
