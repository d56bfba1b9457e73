#pragma once
// Program start-up: the one place where the rules and the window meet.
#include <string>

#include "platform/Services.h"
#include "rules/CommandLine.h"
#include "rules/mdlRegistry.h"

namespace polvane {

class frmMain;

// The user whose policies the current user's scope shows.
struct ChosenUser {
  RegStatus status = kRegSuccess;  // why that user's policies cannot be reached
  OpenedKey hive;                  // another user's, open while it is used
  std::string sid;
  std::wstring otherName;  // DOMAIN\name, when it is not this process's user

  // Where their policies live.
  RegKey Root() const { return hive ? hive.Get() : kCurrentUser; }
};

// Finds the user that user names (a name or a SID): this process's own user
// when it is empty or names them, whose policies are in HKEY_CURRENT_USER;
// otherwise that user's hive under HKEY_USERS, which is loaded while they
// are signed in, and stays open for as long as the result. A user with no
// account fails
// with ERROR_NONE_MAPPED, one who is not signed in with
// ERROR_NO_SUCH_LOGON_SESSION.
ChosenUser ChooseUser(const Services& services, const std::string& user);

// Loads and shows the main window, then fills it with the current user's
// policies (those of the user /user names), or with every user's under
// /allusers (ticking "All Users" as the user would), sets the boxes /edit
// names, and applies the enabling rule. Returns 0, or, when /user names a
// user whose policies cannot be reached or the window cannot be made, says
// why in a box and returns that failure without showing the window.
int Main(frmMain& form, const WindowCommand& command = {});

// Runs a command that needs no window (every one but the window's own, a
// wrong command line among them) and returns the process's exit code.
int RunWithoutWindow(const Services& services, const Command& command);

}  // namespace polvane
