#pragma once
// Message boxes of the program's own, in its UTF-8.
#include <windows.h>

#include <string>

namespace polvane {

// A message box with the program's title over owner.
int ShowMessage(HWND owner, const std::string& text, UINT type);

}  // namespace polvane
