#pragma once
// Image lists: pictures of one size kept together and drawn by position, each with its
// transparent parts (a mask) so that only the picture itself reaches the canvas. Menus use them
// for their items' glyphs.
#include <windows.h>

#include <commctrl.h>

#include "framework/win/Classes.h"
#include "framework/win/Graphics.h"

class TCustomImageList : public TComponent {
 public:
  // Pictures of 16 x 16 until SetSize.
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changes the pictures' size; empties the list. False (nothing changed) for a size below 1.
  bool SetSize(int width, int height);
  int Count() const;

  // Appends the pictures in `image`, cut into pieces of the list's width from the left; pixels
  // of the colour `transparent` become transparent. Returns the position of the first piece, -1
  // when nothing could be added (an image narrower or lower than the list's pictures).
  int AddMasked(TBitmap& image, TColor transparent);

  // Draws picture `index` with its top-left corner at (x, y). A disabled picture is embossed:
  // its shape, in the button-highlight colour one pixel down and right, then in the
  // button-shadow colour. An index outside the list draws nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

  HIMAGELIST Handle() const { return handle_; }

 private:
  void Recreate();

  int width_ = 16;
  int height_ = 16;
  HIMAGELIST handle_ = nullptr;
};

// The list that is put in forms.
class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};
