#pragma once
// Program start-up for a command that needs no window.
#include "rules/Command.h"
#include "seams/Services.h"

namespace polvane {

// Runs a command that needs no window (every one but the window's own, a
// wrong command line among them) and returns the process's exit code.
int RunWithoutWindow(const Services& services, const Command& command);

}  // namespace polvane
