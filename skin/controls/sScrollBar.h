#pragma once
// The skinned scroll bar: a window of its own class ("TsScrollBar"), not the system's scroll
// bar. It keeps its position, range and steps itself; the picture, the mouse and the keys come
// from the skin. Without an active skin it paints nothing of its own (the window is erased)
// and a change of position fires no events.
#include <cstdint>
#include <functional>

#include "framework/win/Controls.h"
#include "skin/paint/win/sCommonData.h"

enum class TScrollBarKind { sbHorizontal, sbVertical };
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

class TsScrollBar : public TWinControl {
 public:
  explicit TsScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  std::uint16_t SmallChange() const { return smallChange_; }
  void SetSmallChange(std::uint16_t value) { smallChange_ = value; }
  std::uint16_t LargeChange() const { return largeChange_; }
  void SetLargeChange(std::uint16_t value) { largeChange_ = value; }
  // Sets position, minimum and maximum at once; the position is clamped into the range.
  void SetParams(int position, int min, int max);

  // The bar paints from an active skin; only then does a change of position notify. False for
  // now: the bar keeps its plain look.
  bool Skinable() const;

  TScrollEvent OnScroll;
  TNotifyEvent OnChange;

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void WndProc(TMessage& message) override;
  void Loaded() override;

  // Kind 142, which the mouse never makes hot; no stored section (its parts have their own).
  TsCommonData SkinData{this, true};

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Change(int oldPosition);
  void Scroll(TScrollCode code, int& position);

 private:
  void WriteScrollInfo();

  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  int min_ = 0;
  int max_ = 100;
  int pageSize_ = 0;
  int position_ = 0;
  std::uint16_t smallChange_ = 1;
  std::uint16_t largeChange_ = 1;
  std::int32_t lastScrollCode_ = -1;
};
