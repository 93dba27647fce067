#pragma once
// Message boxes that belong to a window: owned by it and centred on it, so that an error shows
// over the window it concerns and not in the middle of the screen.
#include <windows.h>

#include <string>

// Shows a message box owned by `owner` and centred on it, kept inside the work area of the
// owner's monitor. Without an owner the system places the box as usual. Returns what
// MessageBoxW returns.
int MessageBoxOver(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// Where a box is to be centred: `bounds` (owner's window rectangle) centred for a box of
// `size`, moved inside `workArea` as far as it fits. Returns the box's top-left corner.
POINT CentredBoxPosition(const RECT& bounds, SIZE size, const RECT& workArea);
