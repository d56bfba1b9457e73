#pragma once
// What a command asks of the system: the registry, files, Group Policy and
// the accounts. The programs' entry points hand the system's own down; a
// test hands down its own parts where the system cannot show a case.
#include "seams/Accounts.h"
#include "seams/FileAccess.h"
#include "seams/GroupPolicy.h"
#include "seams/RegistryApi.h"

namespace polvane {

struct CommandServices {
  RegistryApi& registry;
  FileAccess& files;
  GroupPolicy& groupPolicy;
  Accounts& accounts;
};

}  // namespace polvane
