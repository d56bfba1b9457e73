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

}  // namespace polvane::test
