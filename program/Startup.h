#pragma once
// Program start-up: the one place where the rules and the window meet.
namespace polvane {

class frmMain;
struct Command;

// Loads and shows the main window, then fills it with the current user's
// policies, or with every user's when allUsers is set (ticking "All Users"
// as the user would), and applies the enabling rule.
void Main(frmMain& form, bool allUsers = false);

// Runs a command that needs no window (/show, /set, /unset, /?, or a wrong
// command line) and returns the process's exit code.
int RunWithoutWindow(const Command& command);

}  // namespace polvane
