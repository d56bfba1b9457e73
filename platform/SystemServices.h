#pragma once
// A command's services as the system gives them, for the programs' entry
// points and for tests to take what they keep of the system's.
#include "platform/Accounts.h"
#include "platform/Files.h"
#include "platform/LocalGroupPolicy.h"
#include "platform/Win32Registry.h"
#include "seams/Services.h"

namespace polvane {

struct SystemCommandServices {
  CommandServices Get() { return {registry, files, groupPolicy, accounts}; }

  Win32Registry registry;
  WindowsFiles files;
  LocalGroupPolicy groupPolicy;
  SystemAccounts accounts;
};

}  // namespace polvane
