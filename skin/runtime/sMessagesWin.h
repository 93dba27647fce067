#pragma once
// Delivering skin messages to the components of the application, and the repaint helpers the
// skinned controls share.
//
// Delivery rules: a windowed control gets a skin message through its window with SendMessageW
// (its window is created first if it has none), a windowless control and the skin provider
// straight in their message handler. An error raised by a receiver while a message is being
// broadcast is swallowed: it ends the delivery to the rest of that form's components, and the
// broadcast goes on with the next form.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "skin/data/sMessages.h"

// A component without a window of its own that takes skin messages in its handler: the
// form's skin provider.
class TsSkinMessageReceiver {
 public:
  virtual ~TsSkinMessageReceiver() = default;
  virtual void SkinMessage(TMessage& message) = 0;
};

// Broadcasting.
// Delivers `message` to `control` and the components it owns, in ownership order. The form's
// own window receives only SKM_REPAINT.
void BroadCastS(TComponent* control, TMessage& message);
// Delivers `message` to every form owned by the application object.
void AppBroadCastS(TMessage& message);
// Sends SKM_REPAINT to `control` and to every control below it, depth first.
void UpdateControls(TControl* control);

// One skin message to one control: through its window when it has one, else directly.
LRESULT SendSkinMessage(TControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Repaint helpers.
// Paints the visible graphic children of `parent` into `dc`, each at its bounds moved by
// `offset`, over the parent's cached background when the parent offers one. `flag` is unused.
void PaintControls(HDC dc, TWinControl* parent, bool flag, TPoint offset);
// SKM_PARENTUPDATED to each direct child in child order, up to the first that answers non-zero.
void SetParentUpdated(TWinControl* control);
// SKM_URGENTPAINT (WParam 1, respectively 0) to `control` and every control below it.
void StartUrgentPainting(TControl* control);
void FinishUrgentPainting(TControl* control);
// Invalidates `control` and its child windows without erasing; with `mark`, every ready
// windowed child is told that its background changed. Recurses into windowed children.
void RepaintRecursive(TWinControl* control, bool mark);
// SKM_SETBGCHANGED with LParam -1 (changed) or 0; returns the answer.
LRESULT SetControlChanged(TControl* control, bool changed);
LRESULT SetBoolMsg(HWND window, UINT message, bool flag);
bool GetBoolMsg(HWND window, UINT message);
// False for none, or a control being created, loading, being destroyed or without a parent.
bool ControlIsReady(TControl* control);
void RepaintsControls(TWinControl* parent);         // invalidates every ready windowed child
void RepaintsGraphicControls(TWinControl* parent);  // repaints every ready graphic child now
// The nearest form in the owner chain, `component` included; none when there is none.
TCustomForm* GetOwnerForm(TComponent* component);
// DrawText flags for `alignment` (left, right, centre), with expanded tabs and vertical
// centring, mirrored for a control that reads right to left.
UINT GetStringFlags(const TControl* control, TAlignment alignment);
// The first component owned by `parent` named `name` (any case); none otherwise.
TComponent* GetControlByName(TComponent* parent, std::string_view name);
// The skin provider of the nearest form in the owner chain (its answer to SKM_GETPROVIDER).
LRESULT GetSkinProvider(TComponent* component);
