#include "framework/win/ImgList.h"

#include "framework/win/Gdi.h"

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) { Recreate(); }

TCustomImageList::~TCustomImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

void TCustomImageList::Recreate() {
  if (handle_) ImageList_Destroy(handle_);
  handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 0, 4);
}

bool TCustomImageList::SetSize(int width, int height) {
  if (width < 1 || height < 1) return false;
  width_ = width;
  height_ = height;
  Recreate();
  return true;
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TCustomImageList::AddMasked(TBitmap& image, TColor transparent) {
  if (!handle_ || image.Width() < width_ || image.Height() < height_) return -1;
  // The list takes a bitmap that is selected nowhere, and it may change it: a copy of whole
  // pictures only, the caller's image untouched.
  const int width = image.Width() / width_ * width_;
  TWindowDC screen(nullptr);
  TBitmapHandle copy(CreateCompatibleBitmap(screen.Get(), width, height_));
  if (!copy) return -1;
  {
    TMemoryDC dc(screen.Get());
    TSelectObject selected(dc.Get(), copy.Get());
    BitBlt(dc.Get(), 0, 0, width, height_, image.DC(), 0, 0, SRCCOPY);
  }
  return ImageList_AddMasked(handle_, copy.Get(), ColorToRGB(transparent));
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  const HDC dc = canvas.Handle();
  if (!dc || !handle_ || index < 0 || index >= Count()) return;
  if (enabled) {
    ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  // The picture's shape: its mask, 0 where the picture is, 1 where it is transparent.
  TMemoryDC shapeDC(dc);
  TBitmapHandle shape(CreateBitmap(width_, height_, 1, 1, nullptr));
  if (!shape) return;
  TSelectObject shapeSelected(shapeDC.Get(), shape.Get());
  PatBlt(shapeDC.Get(), 0, 0, width_, height_, WHITENESS);
  ImageList_Draw(handle_, index, shapeDC.Get(), 0, 0, ILD_MASK);
  // Each colour through the shape: where the shape is 0 the brush, elsewhere the canvas as it
  // was: P xor ((D xor P) and S), the shape's 1 taken as white.
  TSavedDC saved(dc);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  constexpr DWORD kBrushThroughShape = 0x00B8074A;
  for (const auto& [color, offset] : {std::pair{COLOR_BTNHIGHLIGHT, 1}, std::pair{COLOR_BTNSHADOW, 0}}) {
    TBrushHandle brush(CreateSolidBrush(GetSysColor(color)));
    TSelectObject selected(dc, brush.Get());
    BitBlt(dc, x + offset, y + offset, width_, height_, shapeDC.Get(), 0, 0, kBrushThroughShape);
  }
}
