#pragma once
// What the policy rules use of the main window: its two check box arrays.
#include "rules/CheckValue.h"

namespace polvane {

class OptionPanel {
 public:
  static constexpr int kMasterOption = 0;  // "Disable Messenger"
  static constexpr int kScopeOption = 1;   // "All Users"
  static constexpr int kSubOptionUpperBound = 3;

  virtual CheckControl& Option(int index) = 0;     // chkOption(0..1)
  virtual CheckControl& SubOption(int index) = 0;  // chkSubOption(0..3)

 protected:
  ~OptionPanel() = default;
};

}  // namespace polvane
