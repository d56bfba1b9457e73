#pragma once
// Program start-up: the one place where the rules and the window meet.
namespace polvane {

class frmMain;

// Loads and shows the main window, then fills it with the current user's
// policies and applies the enabling rule.
void Main(frmMain& form);

}  // namespace polvane
