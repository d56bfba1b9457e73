#include "ui/ComApartment.h"

#include "platform/LateBound.h"
#include "rules/UniqueAny.h"

namespace polvane {
namespace {

// Holds the apartment that CoInitializeEx joined.
struct ApartmentPolicy {
  using Handle = bool;
  static constexpr Handle Empty() { return false; }
  static void Close(Handle) {
    if (const auto leave = late::CoUninitialize.Get()) leave();
  }
};

bool JoinApartment() {
  const auto join = late::CoInitializeEx.Get();
  return join && SUCCEEDED(join(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

}  // namespace

void EnsureComApartment() { static const UniqueAny<ApartmentPolicy> apartment(JoinApartment()); }

}  // namespace polvane
