#pragma once
// Finding windows and controls as another program would, by class and by
// control ID, and reading what they show.
#include <windows.h>

#include <string>

namespace polvane::test {

// The control of that ID anywhere inside window (a frame holds some of the
// main window's boxes); null when there is none.
HWND ControlOf(HWND window, int id);
// This thread's About window, or null while it is closed.
HWND AboutWindow();
// The control of that ID in the About window.
HWND AboutControl(int id);
// The tooltip window that owner's controls show.
HWND TooltipOf(HWND owner);  // waits for it, dispatching this thread's messages
// The icon of that kind a window shows: its own, or else its class's.
HICON ShownIcon(HWND window, WPARAM kind);

// The visible Polvane main window of a process other than processId,
// waiting (up to 5 s) for one to appear; null if none does.
HWND PolvaneWindowOutside(DWORD processId);
// The first message box of the process, waiting (up to 5 s) for one.
HWND MessageBoxOf(DWORD processId);

std::wstring TextOf(HWND hwnd);
// The pointer the control asks for as the mouse moves over it.
HCURSOR PointerOver(HWND control);
// The icon or bitmap a static shows, as STM_GETIMAGE answers.
HANDLE ImageOf(HWND control, UINT kind);
// Whether an icon or cursor handle still names one.
bool IconAlive(HICON icon);

}  // namespace polvane::test
