#pragma once
// Program start-up for a command that needs no window, shared by both
// programs.
#include "platform/Console.h"
#include "rules/Command.h"
#include "seams/Services.h"

namespace polvane {

// Runs a command that needs no window (every one but the window's own, a
// wrong command line among them), printing to output, and returns the
// process's exit code. Every line is out of output when it returns.
int RunWithoutWindow(const CommandServices& services, const Command& command,
                     ConsoleOutput& output);

}  // namespace polvane
