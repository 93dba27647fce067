#pragma once
// The skinned scroll bar: a window of its own class ("TsScrollBar"), not the system's scroll
// bar. It keeps its position, range and steps itself, composes its picture from the skin's
// scroll-bar sections (two arrows, the bars on either side of the slider, the slider), tracks
// the mouse over those five parts, repeats arrow and page steps while a part is held, drags the
// slider, steps on the arrow and paging keys and reports every change through its events.
// Without an active skin it paints nothing of its own (the window is erased), leaves the mouse
// to the framework and a change of position fires no events.
//
// [SECTION] Types
// [SECTION] TsScrollBar
#include <cstdint>
#include <functional>
#include <memory>

#include "framework/win/Controls.h"
#include "framework/win/ExtCtrls.h"
#include "skin/controls/sScrollBarGeometry.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/runtime/sCommonData.h"

// [SECTION] Types ----------------------------------------------------------------------------

enum class TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
// The platform's scroll codes (SB_LINEUP ...).
enum TScrollCode : std::int32_t {
  scLineUp = 0,
  scLineDown = 1,
  scPageUp = 2,
  scPageDown = 3,
  scPosition = 4,
  scTrack = 5,
  scTop = 6,
  scBottom = 7,
  scEndScroll = 8,
};
using TScrollEvent = std::function<void(TObject* sender, TScrollCode scrollCode, int& scrollPos)>;
// A host control that owns a scroll bar hears of each change with the position before it.
using TOnIntChangeEvent = std::function<void(TObject* sender, std::int32_t oldValue)>;

// [SECTION] TsScrollBar ----------------------------------------------------------------------

class TsScrollBar : public TWinControl {
 public:
  explicit TsScrollBar(TComponent* owner);
  ~TsScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position() const { return position_; }
  // Clamps into Min..Max; a new position fires OnScroll and OnChange before it returns and
  // then repaints the bar once.
  void SetPosition(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  std::uint16_t SmallChange() const { return smallChange_; }
  void SetSmallChange(std::uint16_t value) { smallChange_ = value; }
  std::uint16_t LargeChange() const { return largeChange_; }
  void SetLargeChange(std::uint16_t value) { largeChange_ = value; }
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value) { smooth_ = value; }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // Sets position, minimum and maximum at once; the position is clamped into the range. A
  // maximum not above the minimum is reported in a box, and the call goes on.
  void SetParams(int position, int min, int max);

  // A skin is active: the bar paints from it, takes the mouse and notifies its changes.
  bool Skinable() const;
  // Drawn hot: the bar has the focus (the mouse never makes a scroll bar hot).
  bool BarIsHot() const;
  bool NotRightToLeft() const;
  bool CanFocus() const override;

  // Part rectangles in client coordinates; each stores what it returns.
  TRect Btn1Rect();
  TRect Btn2Rect();
  TRect Bar1Rect();
  TRect Bar2Rect();
  TRect SliderRect();
  // Where the arrows are drawn: at least as long as their border mask's frame when the
  // button section asks for it (ReservedBoolean).
  TRect Btn1DRect();
  TRect Btn2DRect();
  std::int32_t Btn1SkinIndex() const;
  std::int32_t Btn2SkinIndex() const;
  std::int32_t FirstPoint() const;
  std::int32_t WorkSize() const;
  std::int32_t SliderSize() const;
  std::int32_t PositionToCoord() const;
  std::int32_t CoordToPosition(TPoint clientPoint) const;
  TPoint CoordToPoint(TPoint screenPoint) const { return ScreenToClient(screenPoint); }
  // The state rule for one part (0 button 1, 1 button 2, 2 bar 1, 3 bar 2, 4 slider).
  void SetInteger(TScrollPart part, std::int32_t state);
  // Paints once if anything changed since the last paint.
  void UpdateBar();
  // Composes the picture from the skin and copies it to the window.
  void Paint();

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void WndProc(TMessage& message) override;
  void Loaded() override;

  // A repeat timer is alive, running or ended in its own tick and not yet freed.
  bool TimerHeld() const { return RepeatTimer != nullptr || endedTimer_ != nullptr; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void Change(int oldPosition);
  void Scroll(TScrollCode code, int& position);
  void DoScroll(TMessage& message);

 private:
  enum class TRepeatKind { rkSlider, rkButton, rkBar };

  TScrollBarMetrics Metrics() const;
  TScrollPartStates States() const;
  void StoreStates(const TScrollPartStates& states);
  // Hover and drag for a client point: the hit-test step, also run for the mouse moves that the
  // bar receives while it holds the capture (outside the bar the system hit-tests the windows
  // under the pointer, not the bar).
  void TrackPointer(TPoint clientPoint);
  void MouseEnter();
  void MouseLeave();
  // Steps the position by delta, held to the 32-bit range.
  void StepPosition(std::int64_t delta);

  void PrepareTimer();
  void PrepareBtnTimer();
  void PrepareBarTimer();
  void StartRepeat(TRepeatKind kind);
  // Stops the repeat; a timer that ends itself in its own tick is kept (stopped) until the
  // next call from outside a tick, as it cannot be freed while its handler runs.
  void FreeTimer();
  void RepeatTick(TRepeatKind kind);
  void OnTimer();
  void OnBtnTimer();
  void OnBarTimer();
  void InitDontChange();
  void ClearDontChange();
  void CancelPress();

  void DrawBtn(const TPixelView& picture, bool first);
  void DrawSlider(TBitmap& cache, const TPixelView& picture);
  TCacheInfo BackgroundCache();
  void WMPaint(TMessage& message);
  void WriteScrollInfo();
  void ShowRangeError(int max);

  // The bar's fields in their order after the inherited ones. Those without a property of
  // their own are open to the window tests, which check them against what the window shows.
 private:
  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  std::int32_t min_ = 0;
  std::int32_t max_ = 100;
  std::int32_t pageSize_ = 0;
  std::int32_t directionFactor_ = 1;  // -1 for a horizontal bar laid out right to left
  std::uint16_t smallChange_ = 1;
  std::uint16_t largeChange_ = 1;

 public:
  TOnIntChangeEvent OnHostChange;  // for a host control that owns the bar; none here
  TScrollEvent OnScroll;

 private:
  // The last results of Btn1Rect, Btn2Rect, Bar1Rect, Bar2Rect and SliderRect.
  TRect btn1Rect_{}, btn2Rect_{}, bar1Rect_{}, bar2Rect_{}, sliderRect_{};

 public:
  std::unique_ptr<TTimer> RepeatTimer;  // the one auto-repeat timer; none when idle
  std::int32_t Btn1State = 0;           // part states: 0 normal, 1 hot, 2 pressed
  std::int32_t Bar2State = 0;
  std::int32_t Btn2State = 0;
  std::int32_t Bar1State = 0;
  std::int32_t SliderState = 0;

 private:
  bool smooth_ = true;

 public:
  TsCommonData SkinData{this, true};  // kind 142; its section names nothing of the skin

 private:
  TsDisabledKind disabledKind_ = dkBlended;

 public:
  TNotifyEvent OnChange;
  TCacheInfo PartsCacheInfo;  // the control's own picture at (0, 0), under its parts
  bool SavedShowHint = false; // the application's hint setting at a left press

 private:
  std::int32_t position_ = 0;

 public:
  std::int32_t LastScrollCode = -1;  // of the latest mouse action; -1 before the first

 private:
  bool designTracking_ = false;  // hover tracking at design time; never set here

 public:
  bool RepaintNeeded = false;  // a part state or the position changed since the last paint
  std::int32_t DragOffset = 0; // position under the grab point minus the position at the press
  bool PaintSuspended = false;
  TControl* LinkedControl = nullptr;  // a host control, not owned; none on the calculator
  bool KeepOnTop = false;
  bool DontChange = false;  // a non-smooth drag holds its notification back
  std::int32_t ChangeAccumulator = 0;
  // Pictures Paint composed so far: a repaint is owed only to a change of state or position.
  std::uint64_t PaintCount = 0;

 private:
  TRepeatKind repeatKind_ = TRepeatKind::rkButton;  // what RepeatTimer repeats
  std::unique_ptr<TTimer> endedTimer_;  // a repeat that ended in its own tick, stopped
  bool inTick_ = false;
};
