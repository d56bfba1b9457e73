#pragma once
// The program's one message loop. It serves every window of the program: a
// window's keyboard shortcuts, then its dialog keys (Tab, Enter, Esc, access
// keys), then ordinary dispatch.
#include <windows.h>

namespace polvane {

// Handles one message as the loop does.
void ProcessMessage(MSG& msg);

// Runs until the program's last window is gone; returns the exit code.
int RunMessageLoop();

}  // namespace polvane
