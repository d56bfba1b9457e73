#pragma once
// The running program's own file and its version record.
#include <string>

#include "rules/AboutTexts.h"

namespace polvane {

// The running program's full path, however long and in whatever characters;
// empty if it cannot be had.
std::wstring ProgramPath();

// Reads the fixed version and the company and product names (in UTF-8), in
// the record's first language; fields the record lacks stay empty or zero.
VersionRecord ReadProgramVersionRecord();

}  // namespace polvane
