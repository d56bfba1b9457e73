#include "rules/PolicyStore.h"

#include "rules/PolicyTable.h"
#include "rules/mdlRegistry.h"

namespace polvane {

bool MayChangePolicies(const PolicyStore& store, bool allUsers) {
  return WriteAccess(store.registry, store.Root(allUsers), kPolicyKeyPath) != kAccessDenied;
}

}  // namespace polvane
