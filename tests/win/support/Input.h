#pragma once
// Keyboard and mouse input as Windows delivers it, handled through the
// program's own message loop.
#include <windows.h>

namespace polvane::test {

// Handles every queued message through the program's own loop, noting
// rather than handling a request to end the program.
void PumpMessages();
// Whether the program asked to end since the last call.
bool TakeQuitRequest();
// Presses and releases a key as keyboard input addressed to target, held
// down with Ctrl when asked, and handles it through the program's loop.
void PressKey(HWND target, UINT virtualKey, bool withControl = false);

// A left click as the mouse makes it, handled through the program's loop:
// a clickable static notifies on the press.
void Click(HWND control);

}  // namespace polvane::test
