#pragma once
// A fixed answer put in place of the system's while it lives, for tests that
// must state what the system under test cannot be made to say. Overrides
// nest: each puts back the one it replaced.
#include <utility>

namespace polvane {

template <class Value>
class ScopedOverride {
 public:
  ScopedOverride(const Value*& slot, Value value)
      : slot_(slot), previous_(slot), value_(std::move(value)) {
    slot_ = &value_;
  }
  ~ScopedOverride() { slot_ = previous_; }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  const Value*& slot_;
  const Value* previous_;
  Value value_;
};

}  // namespace polvane
