#pragma once
// Web links handed to the shell, which opens them in the default browser.
#include <windows.h>

#include <functional>

namespace polvane {

// Where OpenUrl finds the window that owns anything the shell shows: the main
// window's handle while it exists, null after. It must not create a window.
void SetShellOwner(std::function<HWND()> owner);

// Asks the shell to open address; whether it could is not reported.
void OpenUrl(const char* address);

}  // namespace polvane
