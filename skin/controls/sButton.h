#pragma once
// The skinned push button: the framework's button drawn entirely from its skin section
// ("BUTTON" unless the definition stores another): background, border mask (which also cuts the
// window's region), caption and focus rectangle, in a normal, a hot and a pressed look, with a
// fade between normal and hot where the section asks for one. The click comes from its own
// handling of the mouse and the space key; the platform's pushed state (BM_SETSTATE) is ignored,
// so the system's button never clicks on its own. Without its section it is the plain button.
//
// Looks, by CurrentState: 0 normal; 1 hot (focused, mouse inside, or the active default
// button); 2 pressed (a mouse press or the space key, or Down).
#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/runtime/sFade.h"

class TsButton : public TButton {
 public:
  explicit TsButton(TComponent* owner);
  ~TsButton() override;

  // Published, in this order.
  TsCommonData SkinData{this, true};
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // Reads true also while the button shows pressed for a mouse press or the space key.
  bool Down() const { return Pressed || StickyDown; }
  void SetDown(bool value);
  std::int32_t FocusMargin() const { return focusMargin_; }
  void SetFocusMargin(std::int32_t value) { focusMargin_ = value; }
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // 2 while Down reads true, 1 when hot, otherwise 0.
  std::int32_t CurrentState() const;
  // Composes the picture of the current state into the skin data's cache; rebuilds the window
  // region from the border mask when RgnChanged is set.
  void PrepareCache();
  // Draws the caption (and, when focused, the focus rectangle) into the cache.
  virtual void DoDrawText(TRect& R, UINT Flags);
  virtual void DrawCaption();
  virtual TRect CaptionRect();
  // The caption's size when word-broken into Width - 2 in the cache canvas's font; (0, 0) for
  // an empty caption.
  SIZE TextRectSize();

  // The fade between the normal and the hot picture (mouse enter and leave). StopFading ends a
  // fade at once; the cache is painted again when the fade had shown a frame.
  void StartFadeIn();
  void StartFadeOut();
  void StopFading();
  // The fade timer while one exists (owned by the button as its component).
  TsFadeTimer* FadeTimer() const { return fadeTimer_; }

  void WndProc(TMessage& message) override;
  void Loaded() override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

  bool Pressed = false;       // shown pressed for a mouse press or the space key
  bool StickyDown = false;    // the stored Down
  bool MousePressed = false;  // a left press began on the button and its release is pending
  bool RgnChanged = true;     // the window region is rebuilt at the next composition
  bool ActiveDefault = false; // drawn as the active default button

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WMKeyUp(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMFocusChanged(TMessage& message);
  // WM_PAINT: the cache, recomposed when out of date, in one copy; nothing while a fade runs.
  void OurPaintHandler();

 private:
  bool Fades() const;
  // The message goes on to the skin data's common handling and the framework's button.
  void PassOn(TMessage& message);
  // Marks the picture and the region out of date and repaints at once.
  void RepaintPressedState();
  void SetFocusLook(bool focused);
  // Forgets the presses whose release is pending (the focus has gone elsewhere).
  void EndMousePresses();
  static unsigned PressBit(TMouseButton button) { return 1u << static_cast<unsigned>(button); }

  TsDisabledKind disabledKind_ = dkBlended;
  std::int32_t focusMargin_ = 1;
  // The region last given to the window `regionWindow_`: the same region is not applied again
  // (applying it makes the system repaint the button).
  std::optional<TsRegion> appliedRegion_;
  HWND regionWindow_ = nullptr;
  TsFadeTimer* fadeTimer_ = nullptr;
  // Presses of the other mouse buttons that began on the button, one bit per button.
  unsigned otherPresses_ = 0;
  // An exception of the click handler on a mouse release, raised again once the release has
  // been handled to its end (the system's button then has let the mouse capture go).
  std::exception_ptr clickFailure_;
};
