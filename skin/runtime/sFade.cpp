#include "skin/runtime/sFade.h"

#include <algorithm>
#include <cstring>

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "skin/data/sMessages.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sCommonData.h"

namespace {

// Copies a picture into `target`, sized to match (empty when there is no picture).
void CopyPicture(TBitmap& target, TBitmap* source) {
  if (!source || source->Empty()) {
    target.SetSize(0, 0);
    return;
  }
  if (!target.SetSize(source->Width(), source->Height())) return;
  const TPixelView from = source->View(), to = target.View();
  for (std::int32_t y = 0; y < from.Height; ++y)
    std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(from.Width) * 3);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TsFadeTimer

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner), StartBmp(std::make_unique<TBitmap>()) {
  SetEnabled(false);
  // The framework's timer only runs with a handler; the work is in Timer().
  SetOnTimer([](TObject*) {});
}

TsFadeTimer::~TsFadeTimer() = default;

void TsFadeTimer::SetDirection(TFadeDirection value) {
  direction_ = value;
  SetEnabled(value != fdNone);
}

void TsFadeTimer::SetOwnerData(TsCommonData* SD) {
  OwnerData = SD;
  CopyPicture(StartPicture(), SD ? SD->CacheBmp.get() : nullptr);
  std::int32_t iterations = 0;
  if (SD && IsValidSkinIndex(SD->SkinIndex)) {
    const TsGeneralData& section = gd[static_cast<std::size_t>(SD->SkinIndex)];
    // A timer with interval 0 never ticks, which would leave the control in its old look.
    SetInterval(static_cast<unsigned>(std::max(section.FadingIntervalIn, 1)));
    iterations = section.FadingIterations;
  }
  ContinueFadeLevels(*this, direction_, iterations);
}

bool TsFadeTimer::OwnerGone() const {
  return OwnerData == nullptr || OwnerData->OwnerControl == nullptr ||
         OwnerData->OwnerControl->InState(csDestroying) || (Application != nullptr && Application->Terminated());
}

bool TsFadeTimer::ToEnd() {
  TFadeDirection direction = direction_;
  const TFadeTick action = FadeTickAction(*this, direction, OwnerGone());
  if (direction != direction_) SetDirection(direction);
  if (action != TFadeTick::ftStopFading) return true;
  // The control's StopFading frees this timer: nothing of it may be touched after the call.
  OwnerData->OwnerControl->Perform(SKM_STOPFADING, 0, 0);
  return false;
}

void TsFadeTimer::StepOnce(TFadeDirection direction, std::int32_t delta) {
  const std::int32_t step = Step;
  Step += delta;  // the level moves on whatever happens to the frame
  if (const auto k = FadeWeight(step, StepCount)) ShowFrame(*k, direction);
}

void TsFadeTimer::FadeUp() {
  if (OwnerGone() || StepCount == 0) return;
  StepOnce(fdUp, +1);
}

void TsFadeTimer::FadeDown() {
  if (OwnerGone() || StepCount == 0 || Step < 0) return;
  StepOnce(fdDown, -1);
}

void TsFadeTimer::ShowFrame(std::int32_t K, TFadeDirection Direction) {
  auto* control = dynamic_cast<TWinControl*>(OwnerData->OwnerControl);
  TBitmap* cache = OwnerData->CacheBmp.get();
  if (!control || !control->HandleAllocated() || !cache || cache->Empty()) return;
  TPixelImage frame(cache->Width(), cache->Height());
  const TPixelView view = frame.View();
  MixFadeFrame(view, StartPicture().View(), cache->View(), K, Direction);

  TWindowDC dc(control->Handle());
  if (!dc.Get()) return;
  TSavedDC saved(dc.Get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = view.Width;
  info.bmiHeader.biHeight = -view.Height;  // rows top-down, as the picture keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc.Get(), 0, 0, static_cast<DWORD>(view.Width), static_cast<DWORD>(view.Height), 0, 0, 0,
                    static_cast<UINT>(view.Height), view.Top, &info, DIB_RGB_COLORS);
}

void TsFadeTimer::Timer() {
  TTimer::Timer();
  if (!ToEnd()) return;
  switch (direction_) {
    case fdNone:
      SetEnabled(false);
      break;
    case fdUp:
      FadeUp();
      break;
    case fdDown:
      FadeDown();
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// TsAnimTimer

TsAnimTimer::TsAnimTimer(TComponent* owner) : TsFadeTimer(owner), SourceBmp(std::make_unique<TBitmap>()) {}

TsAnimTimer::~TsAnimTimer() = default;

void TsAnimTimer::Timer() {
  if (InState(csDestroying)) return;
  TsFadeTimer::Timer();
}

void TsAnimTimer::ShowFrame(std::int32_t K, TFadeDirection Direction) {
  TControl* control = OwnerData->OwnerControl;
  TBitmap* cache = OwnerData->CacheBmp.get();
  if (!cache || cache->Empty() || !StartBmp->SetSize(cache->Width(), cache->Height())) return;
  MixFadeFrame(StartBmp->View(), SourceBmp->View(), cache->View(), K, Direction);
  TWinControl* parent = control->Parent();
  if (!parent || !parent->HandleAllocated()) return;  // a windowless control shows only through its parent
  // While the parent's PaintTarget names the control, the control paints the frame buffer.
  SendMessageW(parent->Handle(), SKM_SETLINKEDCONTROL, 0, reinterpret_cast<LPARAM>(control));
  control->Repaint();
  SendMessageW(parent->Handle(), SKM_SETLINKEDCONTROL, 0, 0);
}
