#pragma once
// Whether Polvane runs with an administrator's full rights.
namespace polvane {

// From the process token's TokenElevation: true for an elevated process, and,
// where UAC is off, for any process of an administrator, whose token is then
// always full. Where the token cannot tell, membership of Administrators
// answers.
bool ProcessIsElevated();

// Puts a fixed answer in place of the token's while it lives, for tests.
class ElevationOverride {
 public:
  explicit ElevationOverride(bool elevated);
  ~ElevationOverride();
  ElevationOverride(const ElevationOverride&) = delete;
  ElevationOverride& operator=(const ElevationOverride&) = delete;

 private:
  const bool* previous_;
  bool elevated_;
};

}  // namespace polvane
