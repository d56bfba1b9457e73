#pragma once
// The version record of the running program's own file.
#include "rules/AboutTexts.h"

namespace polvane {

// Reads the fixed version and the company and product names (in UTF-8), in
// the record's first language; fields the record lacks stay empty or zero.
VersionRecord ReadProgramVersionRecord();

}  // namespace polvane
