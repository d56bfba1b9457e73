#pragma once
// Whether the user asked for high contrast: the system's setting in the
// program, a switch in tests.

namespace polvane {

class SystemColours {
 public:
  // SPI_GETHIGHCONTRAST's flag.
  virtual bool HighContrastOn() = 0;

 protected:
  ~SystemColours() = default;
};

}  // namespace polvane
