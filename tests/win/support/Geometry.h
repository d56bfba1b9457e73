#pragma once
// Where controls lie, in pixels and in the twips the layout is given in.
#include <windows.h>

namespace polvane::test {

// Where a child window lies in its top-level window's client area.
RECT ClientRectOf(HWND child);
// The expected place of a control at a dpi (the system's unless given),
// given in twips.
RECT FromTwips(int left, int top, int width, int height, int dpi = 0);
// Expects hwnd to lie at expected in its top-level window's client area.
void ExpectRect(HWND hwnd, const RECT& expected);
// How wide a check box or button laid out at dpi must be for its whole
// caption in its own font: the caption, and a check box's mark and the
// space after it.
int CaptionNeeds(HWND control, int dpi);
// Expects the control where the layout put it, laidOut, except that it is
// wider where its caption would not fit there: its left, top and bottom
// stay, and its right edge moves only then.
void ExpectRectFittingItsCaption(HWND hwnd, const RECT& laidOut, int dpi);

}  // namespace polvane::test
