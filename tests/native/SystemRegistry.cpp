// The native build has no system registry: the in-memory one stands in for
// it wherever a test has not put its own in place.
#include "rules/MemoryRegistry.h"

namespace polvane {

RegistryApi& SystemRegistry() {
  static MemoryRegistry registry;
  return registry;
}

}  // namespace polvane
