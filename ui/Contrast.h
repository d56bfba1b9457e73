#pragma once
// Whether the user has High Contrast on.
#include <windows.h>

#include "rules/ScopedOverride.h"

namespace polvane {

inline const bool*& HighContrastOverrideSlot() {
  static const bool* answer = nullptr;
  return answer;
}

// SPI_GETHIGHCONTRAST's flag, unless a test has stated it (Wine keeps no
// High Contrast setting of its own).
inline bool HighContrastOn() {
  if (const bool* stated = HighContrastOverrideSlot()) return *stated;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// States whether High Contrast is on while it lives.
class HighContrastOverride : public ScopedOverride<bool> {
 public:
  explicit HighContrastOverride(bool on) : ScopedOverride(HighContrastOverrideSlot(), on) {}
};

}  // namespace polvane
