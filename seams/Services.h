#pragma once
// What the windows and the command line ask of the system beyond the
// screen: the registry, files, Group Policy, elevation, the shell, the
// accounts and the system colours. The program's entry point hands the
// system's own down; a test hands down its own parts where the system cannot
// show a case.
#include "seams/Accounts.h"
#include "seams/Elevation.h"
#include "seams/FileAccess.h"
#include "seams/GroupPolicy.h"
#include "seams/RegistryApi.h"
#include "seams/Shell.h"
#include "seams/SystemColours.h"

namespace polvane {

struct Services {
  RegistryApi& registry;
  FileAccess& files;
  GroupPolicy& groupPolicy;
  Elevation& elevation;
  Shell& shell;
  Accounts& accounts;
  SystemColours& colours;
};

}  // namespace polvane
