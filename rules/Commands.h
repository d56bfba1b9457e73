#pragma once
// Running the commands that need no window against the policy store, the
// local Group Policy Object and files. Free of Windows so that it is tested
// natively.
#include "rules/Command.h"
#include "rules/ExitCodes.h"
#include "rules/PolicyStore.h"
#include "seams/CommandOutput.h"
#include "seams/FileAccess.h"
#include "seams/GroupPolicy.h"
#include "seams/ReasonOf.h"

namespace polvane {

struct CommandResult {
  int exitCode = 0;      // 0, or rules/ExitCodes.h's code of the first failure
  bool changed = false;  // some value was written or deleted

  // The one rule for the exit code: the first failure stands, and a failure
  // outranks a /check's difference, which outranks success. Reporting 0
  // changes nothing.
  void Report(int code) {
    if (exitCode == 0 || (exitCode == kCheckDiffers && code != 0)) exitCode = code;
  }
};

// Runs a command that needs no window against store (whose user root is the
// one RegistryUserOf names); /export, /import and /gpo need files, and /gpo
// the Group Policy engine. A CommandLineError prints its line and exits
// kBadCommandLine, reading and writing nothing.
CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy);

}  // namespace polvane
