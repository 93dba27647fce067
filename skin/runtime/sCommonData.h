#pragma once
// The skin data of one skinned control (or of the form's skin provider): the section it paints
// from, the indexes looked up for the active skin, the control's cached picture and the flags
// that say when that picture must be recomposed. Around it, what every skinned control shares:
// the common reaction to window and skin messages, the protocol by which a child obtains its
// parent's cached background, and the device-context side of the paint pipeline (the pixel
// side is skin/paint/sPaintItem.h). Windows only.
//
// [SECTION] TsCommonData
// [SECTION] Skin data queries and message reactions
// [SECTION] Painting on device contexts
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/win/Classes.h"
#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "skin/data/sMessages.h"
#include "skin/paint/sPaintItem.h"

// [SECTION] TsCommonData --------------------------------------------------------------------

// The messages and the control's own events set the fields of TsSkinState; this class adds the
// owner, the cache picture and the operations that reach the window. Write SkinSection through
// SetSkinSection, so that the indexes follow it.
class TsCommonData : public TPersistent, public TsSkinState {
 public:
  // `owner` is the skinned control, or a component such as the form's skin provider; with
  // `createCacheBmp` the cache picture exists from the start (empty until InitCacheBmp).
  TsCommonData(TComponent* owner, bool createCacheBmp);
  ~TsCommonData() override;

  TControl* OwnerControl = nullptr;   // the control being skinned; not owned
  TComponent* OwnerObject = nullptr;  // the owner, control or not; not owned
  std::unique_ptr<TBitmap> CacheBmp;  // the control's composed picture, the size of the control

  void BeginUpdate() { Updating = true; }
  void EndUpdate() { Updating = false; }
  void SetUpdating(bool value) { Updating = value; }
  // Skin painting is suspended: by this control, because the skin is not active (being
  // announced or absent), or because the parent is updating or recomposing its own picture.
  bool GetUpdating() const;

  // Creates the cache picture when absent and gives it the owner control's size.
  void InitCacheBmp();
  // Marks the picture out of date and asks a ready control to repaint soon. Nothing for a
  // control that is absent, loading or being destroyed.
  void Invalidate();
  // Resolves the section (the default of the control's kind when none is stored) and its indexes.
  void Loaded();
  // Stores a new section name ("UNKNOWN" for an empty one) and looks it up; the same name again
  // changes nothing and repaints nothing.
  void SetSkinSection(std::string_view name);
  // The section exists in the active skin and the owner is not on its way out.
  bool Skinned() const;
  // Copies the rectangle (X, Y, Width x Height) of the cache picture to the same place in DC.
  void CopyFromCache(HDC DC, int X, int Y, int Width, int Height);
  // The control that paints through this one while it fades (SKM_SETLINKEDCONTROL), or none.
  TControl* PaintTargetControl() const { return reinterpret_cast<TControl*>(PaintTarget); }

 protected:
  bool OwnerDestroying() const override;
};

// [SECTION] Skin data queries and message reactions -----------------------------------------
// The functions take the skin data of the control they act for. CommonWndProc is what every
// skinned control calls with each message before or after its own handling; it returns true
// when the skin data has answered the message (message.Result is set), which the control then
// does not pass on to its default handling.

// Resolves the section: its indexes when one is stored; otherwise the default section of the
// control's kind or, for a kind without one, the owner's class name.
void UpdateData(TsCommonData& SkinData);
// The control is drawn hot: focused, or (for kinds the mouse matters to) under the mouse; never
// when it is disabled or being destroyed.
bool ControlIsActive(const TsCommonData& SkinData);
bool BgCanBeChanged(const TsCommonData& SkinData);
bool BgIsTransparent(const TsCommonData& SkinData);
// Where the control finds its parent's cached background: asks the parent (SKM_GETCACHE) and
// returns its answer; not ready without a parent or when the parent keeps no picture.
TCacheInfo GetParentCache(TsCommonData& SkinData);
bool CommonWndProc(TMessage& Message, TsCommonData& SkinData);
// The skin data's own reaction to the skin messages (0xA401..0xA415).
bool CommonMessage(TMessage& Message, TsCommonData& SkinData);
// Copies the control's cache picture from (R.Left, R.Top) to (0, 0) of DC, W's size, leaving
// the areas of W's visible opaque or windowless children alone. R2 is not used. DC is left as it was.
void CopyWinControlCache(TWinControl* W, TsCommonData& SkinData, TRect R, TRect R2, HDC DC);

// The class name of `object`'s dynamic type as written in the source ("TsScrollBar").
std::string ObjectClassName(const TObject* object);

// [SECTION] Painting on device contexts -----------------------------------------------------

// PaintItem composed in a temporary picture of R's size and copied to R of DC. Nothing for an
// invalid section or a negative R.Left or R.Top. DC is left as it was.
void PaintItem(std::int32_t i, std::string_view Section, const TCacheInfo& CI, bool Filling, std::int32_t State,
               TRect R, TPoint P, HDC DC);
