#pragma once
// Whether the user has High Contrast on.
#include <windows.h>

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
class HighContrastOverride {
 public:
  explicit HighContrastOverride(bool on) : previous_(HighContrastOverrideSlot()), on_(on) {
    HighContrastOverrideSlot() = &on_;
  }
  ~HighContrastOverride() { HighContrastOverrideSlot() = previous_; }
  HighContrastOverride(const HighContrastOverride&) = delete;
  HighContrastOverride& operator=(const HighContrastOverride&) = delete;

 private:
  const bool* previous_;
  bool on_;
};

}  // namespace polvane
