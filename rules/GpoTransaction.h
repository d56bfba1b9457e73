#pragma once
// One part of the local Group Policy Object changed as one. Its Registry.pol
// and gpt.ini are read and written under a lock that every Polvane takes,
// so that two runs cannot interleave, and either both files change or
// neither does: Registry.pol first, then gpt.ini, whose new Version tells
// the Group Policy engine, with Registry.pol put back when gpt.ini cannot be
// written. Where even that fails, a note beside them lets the next run
// raise the Version that is owed.
#include <string>

#include "seams/FileAccess.h"
#include "rules/ExitCodes.h"
#include "rules/LocalGpo.h"
#include "seams/ReasonOf.h"

namespace polvane {

class GpoTransaction {
 public:
  // The part of the local Group Policy Object in folder: the computer's
  // (machine) or the users'.
  GpoTransaction(FileAccess& files, const ReasonOf& reasonOf, const std::string& folder,
                 bool machine);
  ~GpoTransaction();
  GpoTransaction(const GpoTransaction&) = delete;
  GpoTransaction& operator=(const GpoTransaction&) = delete;

  // Reads the part's Registry.pol; to change it, first takes the lock, which
  // is held until the transaction ends, and reads gpt.ini too. False when a
  // file cannot be read or does not parse, or the lock cannot be had: then
  // Error() says why, and nothing was written.
  bool Read(bool forChange);
  const PolFile& Policies() const { return policies_; }
  // Whether an earlier run wrote Registry.pol but could not raise gpt.ini's
  // Version, so that Windows does not apply the part yet.
  bool Unfinished() const { return unfinished_; }

  // Writes policies as the part's Registry.pol (where they differ from it)
  // and raises the part's Version in gpt.ini. False when nothing was
  // written (also where Registry.pol would grow past kLargestFile), or, where a file could not be
  // put back as it was, with Error() saying which file holds what.
  bool Commit(const Bytes& policies);

  // The exit code of what went wrong (rules/ExitCodes.h).
  int ExitCode() const { return exitCode_; }
  const std::string& Error() const { return error_; }

 private:
  bool ReadFile(const std::string& path, Bytes& bytes, bool* existed = nullptr);
  bool WriteFile(const std::string& path, const Bytes& bytes);
  bool Fail(Win32Error status, const std::string& line);  // a Windows failure
  bool Refuse(int exitCode, const std::string& line);
  bool LockFailed(Win32Error status);
  bool GptIniFailed(Win32Error status, bool policiesWritten);
  void RestoreNote();

  FileAccess& files_;
  const ReasonOf& reasonOf_;
  const bool machine_;
  const std::string polPath_, iniPath_, lockPath_, notePath_;
  bool locked_ = false, policiesExisted_ = false, unfinished_ = false;
  PolFile policies_;
  Bytes ini_;
  int exitCode_ = 0;
  std::string error_;
};

}  // namespace polvane
