#include "framework/win/Gdi.h"

#include <array>
#include <numeric>

namespace {
std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> liveCounts{};
std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> createdCounts{};
}

namespace gdi_detail {
void Count(TGdiKind kind, int delta) {
  liveCounts[static_cast<std::size_t>(kind)] += delta;
  if (delta > 0) createdCounts[static_cast<std::size_t>(kind)] += delta;
}
}  // namespace gdi_detail

std::int64_t GdiLiveCount(TGdiKind kind) { return liveCounts[static_cast<std::size_t>(kind)]; }

std::int64_t GdiCreatedCount(TGdiKind kind) { return createdCounts[static_cast<std::size_t>(kind)]; }

std::int64_t GdiLiveTotal() { return std::accumulate(liveCounts.begin(), liveCounts.end(), std::int64_t{0}); }

TMemoryDC::TMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {
  if (dc_) gdi_detail::Count(TGdiKind::MemoryDC, +1);
}

TMemoryDC::~TMemoryDC() {
  if (dc_) {
    DeleteDC(dc_);
    gdi_detail::Count(TGdiKind::MemoryDC, -1);
  }
}

TWindowDC::TWindowDC(HWND window, bool whole)
    : window_(window), dc_(whole ? GetWindowDC(window) : GetDC(window)) {
  if (dc_) gdi_detail::Count(TGdiKind::WindowDC, +1);
}

TWindowDC::~TWindowDC() {
  if (dc_) {
    ReleaseDC(window_, dc_);
    gdi_detail::Count(TGdiKind::WindowDC, -1);
  }
}

TPaintSession::TPaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &info_)) {
  gdi_detail::Count(TGdiKind::PaintSession, +1);
}

TPaintSession::~TPaintSession() {
  // EndPaint belongs to every BeginPaint, even one that gave no context: it shows the caret again.
  EndPaint(window_, &info_);
  gdi_detail::Count(TGdiKind::PaintSession, -1);
}
