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

// The file for the scope: every value that is set, and "not set" for the
// others (a **del. record, "Name"=-, DELETE), so that importing it makes the
// scope the same.
Bytes ExportPolicies(PolicyFileFormat format, bool allUsers, const PolicyValues& values);

struct ImportedPolicies {
  std::string error;  // the file does not parse: what is wrong
  // For each policy the file names: its number, or nothing for "not set".
  std::array<std::optional<std::optional<std::uint32_t>>, 5> values;
  std::vector<std::string> skipped;  // everything else it holds, one line each
};

// Reads the five values of the scope from a file; everything else in it,
// another key, another value, another scope, is named and skipped.
ImportedPolicies ImportPolicies(PolicyFileFormat format, bool allUsers, const Bytes& file);

}  // namespace polvane
