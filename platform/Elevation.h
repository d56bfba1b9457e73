#pragma once
// Whether Polvane runs with an administrator's rights.

namespace polvane {

// Whether the token holds the Administrators group in force: an elevated
// administrator, SYSTEM, or an administrator where UAC is off. UAC's
// filtered token holds it for deny only, and a standard user not at all:
// for them an elevated start may win rights that this process lacks.
bool IsElevated();

}  // namespace polvane
