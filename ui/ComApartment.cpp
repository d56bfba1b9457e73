#include "ui/ComApartment.h"

#include <objbase.h>

namespace polvane {
namespace {

// The apartment CoInitializeEx joined, left when the program ends.
struct Apartment {
  Apartment() : joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED |
                                                              COINIT_DISABLE_OLE1DDE))) {}
  ~Apartment() {
    if (joined) CoUninitialize();
  }
  const bool joined;
};

}  // namespace

void EnsureComApartment() { static const Apartment apartment; }

}  // namespace polvane
