#pragma once
// Texts the program shows. Free of Windows so that they are tested natively.
#include <string>

#include "seams/Win32Error.h"

namespace polvane {

inline constexpr char kProgramTitle[] = "Polvane";

// How the texts name a scope: "all users", "the current user", or the other
// signed-in user whose policies the current user's scope shows.
std::string ScopeName(bool allUsers, const std::string& otherUser = {});

// What a user is told when a save for scope (as ScopeName names it) could not
// be stored. systemReason is the system's own description of status; elevated
// says whether this process already holds an administrator's rights.
std::string SaveFailureMessage(const std::string& scope, Win32Error status,
                               std::string systemReason, bool elevated);

// Asked after a save was refused to a process that is not an
// administrator's, below the save's failure message.
inline constexpr char kRestartQuestion[] =
    "Restart Polvane as an administrator? The boxes you have set go with it, ready to save.";

// The one line a /set or /unset gets when Windows keeps scope from this
// process.
std::string RefusedChangeMessage(const std::string& scope, bool elevated);

// Why the policies of the user /user names cannot be reached: user as it
// was given; systemReason is the system's description of status.
std::string UserFailureMessage(const std::string& user, Win32Error status,
                               std::string systemReason);

// Why a file over kLargestFile is not read, in place of the system's text.
inline constexpr char kFileTooLargeReason[] = "it is larger than 64 MB, the most Polvane reads.";
inline constexpr char kNotAFileReason[] = "it is a folder or a device, not a file.";

// What a user is told when the main window could not be made.
std::string StartFailureMessage(std::string systemReason);

// What the console program says when Polvane.exe, at path, could not be
// started to open the window.
std::string WindowStartFailureMessage(const std::string& path, std::string systemReason);

// What a user is told when Polvane could not be started as an administrator.
std::string RestartFailureMessage(std::string systemReason);

// What a user is told when the stored settings could not all be read, in the
// same form.
std::string LoadFailureMessage(const std::string& scope, std::string systemReason);

}  // namespace polvane
