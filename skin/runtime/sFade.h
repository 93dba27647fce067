#pragma once
// Fading between a control's normal and hot pictures. When the mouse enters or leaves a control
// whose section fades, the control keeps its current picture in a fade timer, composes its new
// picture into its cache, and the timer shows one mix of the two per tick, from the old toward
// the new (levels and mixes: sFadeLevels.h).
//
// The control side, as windowed controls implement it:
// - StartFadeIn: without a timer, create one (owned by the control) and set its Step to 1;
//   SetOwnerData; recompose the cache in the hot look; SetDirection(fdUp).
// - StartFadeOut: without a timer, create one (Step stays 0); SetOwnerData; recompose the cache
//   in the normal look; SetDirection(fdDown).
// - StopFading (on SKM_STOPFADING, which the timer sends when a fade-out has ended): nothing
//   without a timer; SetDirection(fdNone); when Step is not 0, invalidate the skin data so that
//   the cache is painted again; free the timer.
//
// TsFadeTimer draws each frame straight onto the client area of a windowed control's window.
// TsAnimTimer, for windowless controls, writes the frame into its frame buffer and has the
// control repaint through its parent.
#include <cstdint>
#include <memory>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "skin/paint/sFadeLevels.h"

class TsCommonData;

class TsFadeTimer : public TTimer, public TsFadeLevels {
 public:
  // Created disabled, going nowhere, with an empty start picture.
  explicit TsFadeTimer(TComponent* owner);
  ~TsFadeTimer() override;

  TFadeDirection Direction() const { return direction_; }
  // Stores the direction; the timer runs for fdUp and fdDown and stops for fdNone.
  void SetDirection(TFadeDirection value);

  // The skin data of the control that fades; not owned.
  TsCommonData* OwnerData = nullptr;
  // The control's picture when the fade started.
  std::unique_ptr<TBitmap> StartBmp;

  // Starts a fade from the control's current picture: keeps a copy of its cache, takes the
  // interval and the number of steps from its section, and goes on from the level reached when
  // a fade the other way is still running (ContinueFadeLevels).
  void SetOwnerData(TsCommonData* SD);
  // The end-of-fade check of a tick. False when the control has been asked to stop fading: the
  // control then frees this timer, so nothing of it may be used after a false answer.
  bool ToEnd();
  // One step each way: the frame of the current level, then the level moves on (also when the
  // frame could not be drawn).
  void FadeUp();
  void FadeDown();

 protected:
  // The tick: the framework's, then ToEnd, then a step in the current direction.
  void Timer() override;
  // Where the picture of the fade's start is kept.
  virtual TBitmap& StartPicture() { return *StartBmp; }
  // Shows the frame of weight K in the given direction.
  virtual void ShowFrame(std::int32_t K, TFadeDirection Direction);
  // The control is absent or on its way out, or the application is ending.
  bool OwnerGone() const;

 private:
  // Shows the frame of the current level and moves the level by `delta`.
  void StepOnce(TFadeDirection direction, std::int32_t delta);

  TFadeDirection direction_ = fdNone;
};

// The twin of TsFadeTimer for windowless controls, which paint through their parent: the start
// picture is kept in SourceBmp and each frame is written into StartBmp, the frame buffer, which
// the control paints while its parent's PaintTarget names it.
class TsAnimTimer : public TsFadeTimer {
 public:
  explicit TsAnimTimer(TComponent* owner);
  ~TsAnimTimer() override;

  std::unique_ptr<TBitmap> SourceBmp;

 protected:
  void Timer() override;
  TBitmap& StartPicture() override { return *SourceBmp; }
  void ShowFrame(std::int32_t K, TFadeDirection Direction) override;
};
