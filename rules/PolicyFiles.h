#pragma once
// The five policies of one scope as a file an administrator carries to
// another machine or tool: a Registry.pol (.pol), a registry script (.reg),
// or LGPO's text form (.txt).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/RegistryPol.h"

namespace polvane {

enum class PolicyFileFormat { Pol, Reg, Lgpo };

// The format a file's extension names, in any case.
std::optional<PolicyFileFormat> FormatOfFile(const std::string& path);

// Each policy's number in kPolicyTable's order, or nothing when it is not set.
using PolicyValues = std::array<std::optional<std::uint32_t>, 5>;

// The file for the scope. A .reg script is a snapshot: every value that is
// set, and "Name"=- for the others, so that importing it makes the scope the
// same. A .pol and LGPO text are what Group Policy applies: the values that
// are set, and no record at all for the others, which stay "not configured"
// in a Group Policy Object the file is copied into.
Bytes ExportPolicies(PolicyFileFormat format, bool allUsers, const PolicyValues& values);

struct ImportedPolicies {
  std::string error;  // the file does not parse: what is wrong
  // For each policy the file leaves changed: its number, or nothing for
  // "not set".
  std::array<std::optional<std::optional<std::uint32_t>>, 5> values;
  // A policy whose number is set only where it is not there yet (**soft.).
  std::array<bool, 5> ifMissing{};
  std::vector<std::string> notes;  // everything skipped, a line each
};

// Reads the five values of the scope from a file, applying its records in
// order as the tool the format belongs to does: regedit, LGPO or the Group
// Policy engine. Everything else in it, another key, another value, another
// scope, a value of another type, is named on a line of its own and skipped.
ImportedPolicies ImportPolicies(PolicyFileFormat format, bool allUsers, Bytes file);

}  // namespace polvane
