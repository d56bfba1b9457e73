#pragma once
// Check box values and the rule every check box of the program follows.
// Free of Windows so that the rule is tested natively.
#include <cstdint>

namespace polvane {

// 0 unchecked, 1 checked, 2 greyed. Stored policy numbers use the same values.
using CheckValue = std::int16_t;
inline constexpr CheckValue kUnchecked = 0;
inline constexpr CheckValue kChecked = 1;
inline constexpr CheckValue kGreyed = 2;

// A user's click checks an unchecked box and clears a checked or greyed one.
constexpr CheckValue ValueAfterUserClick(CheckValue value) {
  return value == kUnchecked ? kChecked : kUnchecked;
}

// A check box as the rules see it. Assigning a value that differs from the
// current one raises the box's click at once, nested inside the assignment;
// assigning the current value raises nothing. Loading and resetting rely on
// this to keep the sub-options' enabled state in step with the master option.
class CheckControl {
 public:
  CheckValue Value() const { return StoredValue(); }

  void SetValue(CheckValue value) {
    if (value == StoredValue()) return;
    StoreValue(value);
    RaiseClick();
  }

  // What a mouse click or the space bar does; a disabled box ignores both.
  void ClickAsUser() {
    if (IsEnabled()) SetValue(ValueAfterUserClick(StoredValue()));
  }

  virtual bool IsEnabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;

 protected:
  ~CheckControl() = default;

 private:
  virtual CheckValue StoredValue() const = 0;
  virtual void StoreValue(CheckValue value) = 0;
  virtual void RaiseClick() = 0;
};

}  // namespace polvane
