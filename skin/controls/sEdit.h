#pragma once
// The skinned edit: the framework's edit whose frame, background and (while it is neither
// focused nor hot) text are one picture composed from the skin section "EDIT" in the skin
// data's cache. While it is active the platform's edit paints its own text area with the caret
// and only the two-pixel frame comes from the cache. Disabled, it is always inactive and its
// picture is mixed into the parent's background (DisabledKind).
#include <cstdint>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"
#include "skin/paint/sAlphaGraph.h"

class TsEdit : public TEdit {
 public:
  explicit TsEdit(TComponent* owner);
  ~TsEdit() override;

  TsDisabledKind DisabledKind() const { return disabledKind_; }
  // Stores a new value and repaints.
  void SetDisabledKind(TsDisabledKind value);

  TsCommonData SkinData{this, true};
  TsBoundLabel BoundLabel{this};

  // Renders the whole control (frame, background, text, disabled look) into SkinData.CacheBmp.
  void PrepareCache();
  // Writes the text (or the password characters) into the cache, in the section's colours.
  void PaintText();
  // Copies the two-pixel frame from the cache to the window.
  void PaintBorder();
  // Paints the whole control from the cache (the WM_PAINT of an inactive edit).
  void OurPaintHandler();
  // Full renders of the cache since the edit was made: a picture is composed only when
  // something changed.
  std::int64_t CacheRenders() const { return cacheRenders_; }

  void Loaded() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 private:
  // Ready, with a valid section: the skin paints the edit.
  bool SkinnedNow();
  // The messages of a skinned edit before the framework sees them; true when done.
  bool SkinnedBefore(TMessage& message);
  // The messages after the framework, skinned or not.
  void After(TMessage& message, bool skinned);
  // The edit's bounds lie partly outside the parent's client area.
  bool OutsideParent() const;

  TsDisabledKind disabledKind_ = dkBlended;
  std::int64_t cacheRenders_ = 0;
};
