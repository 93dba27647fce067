#pragma once
// Owners of GDI objects, device contexts and paint sessions. Each is move-only or fixed, frees
// its handle exactly once and counts the live handles of its kind, so that tests can prove that
// painting leaks nothing (Wine's GetGuiResources always answers 0). Every GDI object, region,
// context and paint session of the program goes through them. Selections and context states are
// scoped too: the previous object or state comes back at the end of the scope.
#include <windows.h>

#include <cstdint>
#include <utility>

enum class TGdiKind { Font, Brush, Pen, Bitmap, Region, MemoryDC, WindowDC, PaintSession, Count };

// Live handles of one kind held by the owners below.
std::int64_t GdiLiveCount(TGdiKind kind);
// Live handles of every kind together.
std::int64_t GdiLiveTotal();
// Handles of one kind the owners have taken since the program started, freed or not: a
// routine that makes its objects through the owners moves this, one that goes around them not.
std::int64_t GdiCreatedCount(TGdiKind kind);

namespace gdi_detail {
void Count(TGdiKind kind, int delta);
}

template <class Handle, TGdiKind Kind>
class TGdiObject {
 public:
  TGdiObject() = default;
  // Takes over a freshly created handle (null is allowed and owns nothing).
  explicit TGdiObject(Handle handle) : handle_(handle) {
    if (handle_) gdi_detail::Count(Kind, +1);
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~TGdiObject() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Hands the handle over to whoever takes it (the system, for a window region that
  // SetWindowRgn accepted): it no longer counts as ours and is not deleted here.
  Handle Release() {
    if (handle_) gdi_detail::Count(Kind, -1);
    return std::exchange(handle_, nullptr);
  }
  void Reset() {
    if (handle_) {
      DeleteObject(handle_);
      gdi_detail::Count(Kind, -1);
      handle_ = nullptr;
    }
  }

 private:
  Handle handle_ = nullptr;
};

using TFontHandle = TGdiObject<HFONT, TGdiKind::Font>;
using TBrushHandle = TGdiObject<HBRUSH, TGdiKind::Brush>;
using TPenHandle = TGdiObject<HPEN, TGdiKind::Pen>;
using TBitmapHandle = TGdiObject<HBITMAP, TGdiKind::Bitmap>;
using TRegionHandle = TGdiObject<HRGN, TGdiKind::Region>;

// A memory device context compatible with the screen (or with a given context).
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr);
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  TMemoryDC& operator=(TMemoryDC&&) = delete;
  ~TMemoryDC();
  HDC Get() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

// The client-area context of a window (GetDC) or, with whole = true, of the whole window
// including its frame (GetWindowDC); a null window gives the screen's context.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window, bool whole = false);
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC();
  HDC Get() const { return dc_; }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// A window's paint session: BeginPaint on construction, EndPaint at the end of the scope, also
// when an exception passes. DC() is null when the system gave no context.
class TPaintSession {
 public:
  explicit TPaintSession(HWND window);
  TPaintSession(const TPaintSession&) = delete;
  TPaintSession& operator=(const TPaintSession&) = delete;
  ~TPaintSession();
  HDC DC() const { return dc_; }
  // The area to paint, in client coordinates.
  const RECT& Area() const { return info_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT info_{};
  HDC dc_ = nullptr;
};

// Selects an object into a context for the length of a scope.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Saves a context's whole state (selections, colours, clipping, origin) and restores it at the
// end of the scope.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};
