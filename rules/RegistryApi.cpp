#include "rules/RegistryApi.h"

namespace polvane {
namespace {
RegistryApi* g_override = nullptr;
}

RegistryApi& Registry() { return g_override ? *g_override : SystemRegistry(); }

RegistryOverride::RegistryOverride(RegistryApi& replacement) : previous_(g_override) {
  g_override = &replacement;
}

RegistryOverride::~RegistryOverride() { g_override = previous_; }

}  // namespace polvane
