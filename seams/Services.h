#pragma once
// What the windows and the command line ask of the system beyond the
// screen: the registry, files, Group Policy, elevation, the accounts, and
// for the windows alone the shell and the system colours. The program's
// entry point hands the system's own down; a test hands down its own parts
// where the system cannot show a case.
#include "seams/Accounts.h"
#include "seams/Elevation.h"
#include "seams/FileAccess.h"
#include "seams/GroupPolicy.h"
#include "seams/RegistryApi.h"
#include "seams/Shell.h"
#include "seams/SystemColours.h"

namespace polvane {

// What a command that opens no window needs: all the console program has.
struct CommandServices {
  RegistryApi& registry;
  FileAccess& files;
  GroupPolicy& groupPolicy;
  Elevation& elevation;
  Accounts& accounts;
};

struct Services : CommandServices {
  Shell& shell;
  SystemColours& colours;
};

}  // namespace polvane
