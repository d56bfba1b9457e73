#pragma once
// The program's one message loop. It serves every window of the program: a
// window's keyboard shortcuts, then its dialog keys (Tab, Enter, Esc, access
// keys), then ordinary dispatch.
#include <windows.h>

#include <optional>

namespace polvane {

// Handles every message waiting, without waiting for more: nothing, or the
// exit code once the program has asked to end (WM_QUIT).
std::optional<int> HandleWaitingMessages();

// Runs until the program's last window is gone; returns the exit code.
int RunMessageLoop();

}  // namespace polvane
