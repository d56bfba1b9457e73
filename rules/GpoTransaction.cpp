#include "rules/GpoTransaction.h"

#include "rules/Ascii.h"

namespace polvane {
namespace {

// Beside gpt.ini, the lock every Polvane holds while it changes the object;
// beside a part's Registry.pol, the note that it was written before its
// Version was raised.
constexpr char kLockName[] = "\\Polvane.lock";
constexpr char kNoteName[] = "\\Polvane.unfinished";

constexpr char kAdministratorsOnly[] =
    " Only administrators change the local Group Policy Object: run Polvane from an elevated "
    "prompt.";
constexpr char kNothingWritten[] = " Nothing was written.";

}  // namespace

GpoTransaction::GpoTransaction(FileAccess& files, const ReasonOf& reasonOf,
                               const std::string& folder, bool machine)
    : files_(files),
      reasonOf_(reasonOf),
      machine_(machine),
      polPath_(GpoPolicyFile(folder, machine)),
      iniPath_(GpoIniFile(folder)),
      lockPath_(folder + kLockName),
      notePath_(GpoPartFolder(folder, machine) + kNoteName) {}

GpoTransaction::~GpoTransaction() {
  if (locked_) files_.Unlock(lockPath_);
}

bool GpoTransaction::Read(bool forChange) {
  if (forChange) {
    Win32Error status = files_.MakeFolderOf(lockPath_);
    if (status == kSuccess) status = files_.Lock(lockPath_);
    if (status != kSuccess) return LockFailed(status);
    locked_ = true;
  }
  Bytes bytes;
  if (!ReadFile(polPath_, bytes, &policiesExisted_)) return false;
  PolRead read = ReadPol(std::move(bytes));
  if (!read.file)
    return Refuse(kBadPolicyFile,
                  Joined({polPath_, ": ", read.error, forChange ? kNothingWritten : ""}));
  policies_ = std::move(*read.file);
  Bytes note;
  return !forChange || (ReadFile(iniPath_, ini_) && ReadFile(notePath_, note, &unfinished_));
}

bool GpoTransaction::Commit(const Bytes& policies) {
  IniUpdate ini = UpdateGptIni(ini_, machine_);
  if (!ini.error.empty())
    return Refuse(kBadPolicyFile, Joined({iniPath_, ": ", ini.error, kNothingWritten}));
  // Polvane must be able to read back, and undo, whatever it writes.
  if (policies.size() > kLargestFile)
    return Refuse(kFileTooLarge,
                  Joined({polPath_, " would grow larger than 64 MB, the most Polvane reads.",
                          kNothingWritten}));
  // Noted first, so that a run stopped half way leaves word for the next.
  if (!unfinished_ && !WriteFile(notePath_, {})) return false;
  const bool writesPolicies = policies != policies_.bytes || !policiesExisted_;
  if (writesPolicies && !WriteFile(polPath_, policies)) {
    RestoreNote();
    return false;
  }
  if (const Win32Error status = files_.Replace(iniPath_, ini.bytes); status != kSuccess)
    return GptIniFailed(status, writesPolicies);
  // A note left behind costs the next run one more raise, no more.
  files_.Remove(notePath_);
  return true;
}

bool GpoTransaction::ReadFile(const std::string& path, Bytes& bytes, bool* existed) {
  const Win32Error status = files_.Read(path, bytes);
  if (existed) *existed = status == kSuccess;
  if (status == kSuccess || IsMissing(status)) return true;
  return Fail(status, Joined({path, " could not be read: ", reasonOf_(status),
                              locked_ ? kNothingWritten : ""}));
}

bool GpoTransaction::WriteFile(const std::string& path, const Bytes& bytes) {
  Win32Error status = files_.MakeFolderOf(path);
  if (status == kSuccess) status = files_.Replace(path, bytes);
  if (status == kSuccess) return true;
  return Fail(status,
              Joined({path, " could not be written: ", reasonOf_(status),
                      status == kAccessDenied ? kAdministratorsOnly : "", kNothingWritten}));
}

bool GpoTransaction::Fail(Win32Error status, const std::string& line) {
  return Refuse(FailureExitCode(status), line);
}

bool GpoTransaction::Refuse(int exitCode, const std::string& line) {
  exitCode_ = exitCode;
  error_ = Printable(line);
  return false;
}

bool GpoTransaction::LockFailed(Win32Error status) {
  if (status == kCancelled)
    return Fail(status, Joined({"Stopped while another Polvane was changing the local Group "
                                "Policy Object.",
                                kNothingWritten}));
  if (status == kSharingViolation)
    return Refuse(kGpoBusy, Joined({"Another Polvane is changing the local Group Policy Object and "
                                    "still holds ",
                                    lockPath_, ": ", reasonOf_(status), kNothingWritten}));
  return Fail(status,
              Joined({lockPath_, " could not be made: ", reasonOf_(status),
                      status == kAccessDenied ? kAdministratorsOnly : "", kNothingWritten}));
}

bool GpoTransaction::GptIniFailed(Win32Error status, bool policiesWritten) {
  const std::string failed = Joined({iniPath_, " could not be written: ", reasonOf_(status)});
  const Win32Error back = !policiesWritten   ? kSuccess
                          : policiesExisted_ ? files_.Replace(polPath_, policies_.bytes)
                                             : files_.Remove(polPath_);
  if (back == kSuccess) {
    RestoreNote();
    return Fail(status,
                Joined({failed, policiesWritten ? " " : "", policiesWritten ? polPath_ : "",
                        policiesWritten ? " was put back as it was." : "", kNothingWritten}));
  }
  return Fail(status,
              Joined({failed, " ", polPath_, " could not be put back as it was: ", reasonOf_(back),
                      " It holds the new values and gpt.ini the old Version, so Windows "
                      "does not apply them yet; the next /gpo /set or /gpo /unset of "
                      "this part raises the Version, as ",
                      notePath_, " notes."}));
}

void GpoTransaction::RestoreNote() {
  if (!unfinished_) files_.Remove(notePath_);
}

}  // namespace polvane
