#pragma once
// The one error type of the registry, files and the system's other calls: a
// Win32 error code, 0 for success. Free of Windows so that the rules that
// weigh errors are tested natively.

namespace polvane {

using Win32Error = long;

inline constexpr Win32Error kSuccess = 0;
inline constexpr Win32Error kFileNotFound = 2;
inline constexpr Win32Error kPathNotFound = 3;
inline constexpr Win32Error kAccessDenied = 5;
inline constexpr Win32Error kInvalidData = 13;
inline constexpr Win32Error kSharingViolation = 32;
// ERROR_BAD_FILE_TYPE: what the file store answers for a name that is a
// folder or a device (NUL, COM1), which it neither reads nor replaces.
inline constexpr Win32Error kNotAFile = 222;
inline constexpr Win32Error kFileTooLarge = 223;
inline constexpr Win32Error kMoreData = 234;
inline constexpr Win32Error kNoSuchLogonSession = 1312;
inline constexpr Win32Error kNotAUser = 1317;  // ERROR_NO_SUCH_USER: the account is a group
inline constexpr Win32Error kInvalidSid = 1337;
inline constexpr Win32Error kNoneMapped = 1332;
// ERROR_CANCELLED: Ctrl+C stopped a wait.
inline constexpr Win32Error kCancelled = 1223;
// ERROR_SERVICE_NOT_ACTIVE: the Group Policy Client service is not running.
inline constexpr Win32Error kNoPolicyEngine = 1062;

// The first failure among steps that all run, such as the five values'
// writes or a window's controls: kSuccess while there is none.
struct FirstFailure {
  Win32Error status = kSuccess;
  void operator()(Win32Error step) {
    if (status == kSuccess) status = step;
  }
};

// Whether a failure says that a file or key, or a folder on its way, is not
// there.
inline bool IsMissing(Win32Error status) {
  return status == kFileNotFound || status == kPathNotFound;
}

}  // namespace polvane
