#pragma once
// A registry script (.reg) read as regedit reads it: the steps regedit takes
// when it applies the script, line by line, which the rules then weigh.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/RegistryPol.h"

namespace polvane {

struct RegStep {
  enum class Kind {
    OpenKey,      // values that follow go to key
    CloseKey,     // values that follow go nowhere
    DeleteKey,    // key and everything below it go
    SetValue,     // name gets type and data in the open key
    DeleteValue,  // name goes from the open key
    Unreadable,   // a line regedit passes over (what says which)
  };
  Kind kind = Kind::Unreadable;
  std::size_t line = 0;  // where the step's text starts, from 1
  std::string key;       // OpenKey, DeleteKey: as the registry resolves it, "ROOT\a\b"
  std::string name;      // SetValue, DeleteValue; "@" names the default value
  std::uint32_t type = 0, size = 0;
  std::uint32_t number = 0;  // SetValue: the data's first four bytes, little-endian
  std::string what;          // Unreadable: "no key or value", "data regedit cannot read", ...
};

struct RegScript {
  std::string error;  // where the file is no registry script regedit applies
  std::vector<RegStep> steps;
};

// Lines end at CR LF, CR or LF; UTF-16LE with its mark or single bytes, a
// UTF-8 mark being no part of a header regedit knows. Where regedit gives up
// at a line (a key deletion it cannot make sense of), the steps end there.
RegScript ReadRegScript(const Bytes& file);

// A key path as the registry resolves it, its root's name in capitals and
// empty names between backslashes gone ("hkey_current_user\A\\B\" is
// "HKEY_CURRENT_USER\A\B"); nothing where regedit can open no such key.
std::optional<std::string> ResolvedRegKey(std::string_view path);

}  // namespace polvane
