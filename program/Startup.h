#pragma once
// Program start-up: the one place where the rules and the window meet.
#include "rules/CommandLine.h"

namespace polvane {

class frmMain;

// Loads and shows the main window, then fills it with the current user's
// policies, or with every user's under /allusers (ticking "All Users" as the
// user would), sets the boxes /edit names, and applies the enabling rule.
void Main(frmMain& form, const Command& command = {});

// Runs a command that needs no window (/show, /set, /unset, /?, or a wrong
// command line) and returns the process's exit code.
int RunWithoutWindow(const Command& command);

}  // namespace polvane
