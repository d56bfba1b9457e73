#pragma once
// The exit codes a script tests: each of Polvane's own means one thing, and
// a Windows failure that happens to have the same number exits otherwise.
#include "seams/Win32Error.h"

namespace polvane {

// A /check whose values are not all as named.
inline constexpr int kCheckDiffers = 1;
// Windows refused access to a value or a file; nothing was written.
inline constexpr int kAccessRefused = kAccessDenied;
// A file to read is no policy file of its kind: it does not parse, is empty,
// or is a folder or a device (ERROR_INVALID_DATA). Nothing was written.
inline constexpr int kBadPolicyFile = kInvalidData;
// Another Polvane holds the local Group Policy Object's lock.
inline constexpr int kGpoBusy = kSharingViolation;
// The command line is wrong (ERROR_INVALID_PARAMETER).
inline constexpr int kBadCommandLine = 87;
// The file to write is a folder or a device; nothing was written.
inline constexpr int kNotAFileToWrite = kNotAFile;
// The local Group Policy Object was written, but the registry, which stands
// in for a Group Policy engine where none runs, was not (ERROR_PARTIAL_COPY).
inline constexpr int kGpoWrittenRegistryNot = 299;

// A Windows failure's exit code: its own number, except where that is one
// of the codes above, or of /user's (1312, 1317, 1332, 1337), which each
// mean one thing: then the HRESULT Windows gives the same error, 0x8007xxxx.
// (5 is Windows' refusal whatever refused, 222 only the file store's, 223
// a file too large whoever says so.)
// So a file another program holds exits 0x80070020, never 32.
constexpr int FailureExitCode(Win32Error status) {
  switch (status) {
    case kCheckDiffers:
    case kBadPolicyFile:
    case kGpoBusy:
    case kBadCommandLine:
    case kGpoWrittenRegistryNot:
    case kNoSuchLogonSession:
    case kNotAUser:
    case kNoneMapped:
    case kInvalidSid:
      return static_cast<int>(0x80070000u | static_cast<unsigned>(status));
    default:
      return static_cast<int>(status);
  }
}

}  // namespace polvane
