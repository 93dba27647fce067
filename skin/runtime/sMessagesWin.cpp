#include "skin/runtime/sMessagesWin.h"

#include <functional>
#include <vector>

#include "framework/core/StrUtils.h"
#include "framework/win/Gdi.h"

namespace {

// While alive, an error that a receiver raises inside its window procedure (which hands it to
// the application instead of letting it cross user32) is swallowed and remembered, so that the
// broadcast can end the delivery to the current form as if the error had reached it directly.
class TReceiverErrorGuard {
 public:
  struct TReceiverFailed {};

  TReceiverErrorGuard() {
    if (Application == nullptr) return;
    saved_ = Application->OnException;
    Application->OnException = [this](TObject*, const Exception&) { failed_ = true; };
  }
  ~TReceiverErrorGuard() {
    if (Application != nullptr) Application->OnException = std::move(saved_);
  }
  TReceiverErrorGuard(const TReceiverErrorGuard&) = delete;
  TReceiverErrorGuard& operator=(const TReceiverErrorGuard&) = delete;

  // Ends the delivery when the last receiver failed.
  void Check() const {
    if (failed_) throw TReceiverFailed{};
  }

 private:
  TExceptionEvent saved_;
  bool failed_ = false;
};

LRESULT SendToWindow(TWinControl* control, const TMessage& message) {
  return SendMessageW(control->Handle(), message.Msg, message.WParam, message.LParam);
}

void Deliver(TComponent* component, TMessage& message, TReceiverErrorGuard& guard) {
  if (component->InState(csDestroying | csReading)) return;
  if (auto* windowed = dynamic_cast<TWinControl*>(component)) {
    message.Result = SendToWindow(windowed, message);
    guard.Check();
  } else if (auto* control = dynamic_cast<TControl*>(component)) {
    message.Result = control->Perform(message.Msg, message.WParam, message.LParam);
  } else if (auto* target = dynamic_cast<TsSkinMessageReceiver*>(component)) {
    // The provider has already seen a repaint through the form's window.
    if (message.Msg != SKM_REPAINT) target->SkinMessage(message);
  }
}

void ForEachChild(TWinControl* parent, const std::function<void(TControl*)>& visit) {
  for (int i = 0; i < parent->ControlCount(); ++i) visit(parent->Controls(i));
}

void SendUrgentPainting(TControl* control, WPARAM start) {
  if (control == nullptr) return;
  SendSkinMessage(control, SKM_URGENTPAINT, start, 0);
  if (auto* windowed = dynamic_cast<TWinControl*>(control))
    ForEachChild(windowed, [start](TControl* child) { SendUrgentPainting(child, start); });
}

void UpdateChildren(TWinControl* parent) {
  ForEachChild(parent, [](TControl* child) {
    SendSkinMessage(child, SKM_REPAINT, 0, 0);
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) UpdateChildren(windowed);
  });
}

}  // namespace

LRESULT SendSkinMessage(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) return SendMessageW(windowed->Handle(), msg, wParam, lParam);
  return control->Perform(msg, wParam, lParam);
}

// [SECTION] Broadcasting ----------------------------------------------------------------------

void BroadCastS(TComponent* control, TMessage& message) {
  if (control == nullptr || control->InState(csDestroying)) return;
  TReceiverErrorGuard guard;
  try {
    if (message.Msg == SKM_REPAINT) {
      if (auto* self = dynamic_cast<TControl*>(control)) {
        message.Result = SendSkinMessage(self, message.Msg, message.WParam, message.LParam);
        guard.Check();
      }
    }
    // By index: a receiver may create or free components of the form while it is called.
    for (int i = 0; i < control->ComponentCount(); ++i) Deliver(control->Components(i), message, guard);
  } catch (...) {
    // A receiver failed: the rest of this form gets nothing, nobody is told.
  }
}

void AppBroadCastS(TMessage& message) {
  if (Application == nullptr) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
    if (form != nullptr && !form->InState(csDestroying)) BroadCastS(form, message);
  }
}

void UpdateControls(TControl* control) {
  if (control == nullptr) return;
  SendSkinMessage(control, SKM_REPAINT, 0, 0);
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) UpdateChildren(windowed);
}

// [SECTION] Repaint helpers -------------------------------------------------------------------

void PaintControls(HDC dc, TWinControl* parent, bool flag, TPoint offset) {
  (void)flag;
  if (dc == nullptr) {
    MessageBoxW(nullptr, L"Alert!", L"", MB_OK | MB_ICONWARNING);
  }
  if (parent == nullptr) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (!child->Visible() || child->Width() < 1 || child->Height() < 1 || child->InState(csDestroying)) continue;
    auto* graphic = dynamic_cast<TGraphicControl*>(child);
    if (graphic == nullptr || dc == nullptr) continue;
    TRect bounds = child->BoundsRect();
    bounds = Rect(bounds.Left + offset.X, bounds.Top + offset.Y, bounds.Right + offset.X, bounds.Bottom + offset.Y);
    const RECT area{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
    if (!RectVisible(dc, &area)) continue;

    TSavedDC saved(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + bounds.Left, origin.y + bounds.Top, nullptr);
    IntersectClipRect(dc, 0, 0, child->Width(), child->Height());

    GlobalCacheInfo.Ready = false;
    SendMessageW(parent->Handle(), SKM_GETCACHE, 0, 0);
    const TCacheInfo cache = GlobalCacheInfo;
    GlobalCacheInfo.Ready = false;
    if (cache.Ready && (child->ControlStyle() & csOpaque) == 0) {
      // Compose over the parent's background off screen, then copy once.
      TBitmap picture(child->Width(), child->Height());
      const TPixelView target = picture.View();
      const std::int32_t sx = child->Left() + cache.X;
      const std::int32_t sy = child->Top() + cache.Y;
      for (std::int32_t y = 0; y < target.Height; ++y) {
        if (sy + y < 0 || sy + y >= cache.Bmp.Height) continue;
        for (std::int32_t x = 0; x < target.Width; ++x) {
          if (sx + x < 0 || sx + x >= cache.Bmp.Width) continue;
          const std::uint8_t* from = cache.Bmp.Pixel(sx + x, sy + y);
          std::uint8_t* to = target.Pixel(x, y);
          to[0] = from[0];  // blue
          to[1] = from[1];  // green
          to[2] = from[2];  // red
        }
      }
      graphic->PaintTo(picture.DC());
      BitBlt(dc, 0, 0, child->Width(), child->Height(), picture.DC(), 0, 0, SRCCOPY);
    } else {
      graphic->PaintTo(dc);
    }
  }
}

void SetParentUpdated(TWinControl* control) {
  if (control == nullptr) return;
  for (int i = 0; i < control->ControlCount(); ++i)
    if (SendSkinMessage(control->Controls(i), SKM_PARENTUPDATED, 0, 0) != 0) return;
}

void StartUrgentPainting(TControl* control) { SendUrgentPainting(control, 1); }
void FinishUrgentPainting(TControl* control) { SendUrgentPainting(control, 0); }

void RepaintRecursive(TWinControl* control, bool mark) {
  if (control == nullptr || !control->HandleAllocated()) return;
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
  for (int i = 0; i < control->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(control->Controls(i));
    if (child == nullptr || !ControlIsReady(child)) continue;
    if (mark) SetBoolMsg(child->Handle(), SKM_SETBGCHANGED, true);
    RepaintRecursive(child, mark);
  }
}

LRESULT SetControlChanged(TControl* control, bool changed) {
  return SendSkinMessage(control, SKM_SETBGCHANGED, 0, changed ? -1 : 0);
}

LRESULT SetBoolMsg(HWND window, UINT message, bool flag) { return SendMessageW(window, message, 0, flag ? -1 : 0); }

bool GetBoolMsg(HWND window, UINT message) { return SendMessageW(window, message, 0, 0) != 0; }

bool ControlIsReady(TControl* control) {
  if (control == nullptr) return false;
  if ((control->ControlState() & csCreating) != 0) return false;
  if (control->InState(csLoading | csDestroying)) return false;
  return control->Parent() != nullptr;
}

void RepaintsControls(TWinControl* parent) {
  if (parent == nullptr) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (child != nullptr && ControlIsReady(child)) child->Invalidate();
  }
}

void RepaintsGraphicControls(TWinControl* parent) {
  if (parent == nullptr) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* child = dynamic_cast<TGraphicControl*>(parent->Controls(i));
    if (child != nullptr && ControlIsReady(child)) child->Repaint();
  }
}

TCustomForm* GetOwnerForm(TComponent* component) {
  for (TComponent* c = component; c != nullptr; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

UINT GetStringFlags(const TControl* control, TAlignment alignment) {
  UINT flags = DT_EXPANDTABS | DT_VCENTER;
  const bool mirrored = control != nullptr && control->UseRightToLeftAlignment();
  switch (alignment) {
    case TAlignment::taLeftJustify: flags |= mirrored ? DT_RIGHT : DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= mirrored ? DT_LEFT : DT_RIGHT; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
  }
  if (control != nullptr && control->UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

TComponent* GetControlByName(TComponent* parent, std::string_view name) {
  if (parent == nullptr) return nullptr;
  for (int i = 0; i < parent->ComponentCount(); ++i)
    if (SameText(parent->Components(i)->Name(), name)) return parent->Components(i);
  return nullptr;
}

LRESULT GetSkinProvider(TComponent* component) {
  TCustomForm* form = GetOwnerForm(component);
  return form == nullptr ? 0 : SendMessageW(form->Handle(), SKM_GETPROVIDER, 0, 0);
}
