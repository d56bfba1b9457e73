#pragma once
// The local Group Policy Object as the local Group Policy editor keeps it:
// Machine\Registry.pol and User\Registry.pol under its folder, and gpt.ini,
// whose Version tells the Group Policy engine that a part has changed.
#include <string>

#include "rules/RegistryPol.h"

namespace polvane {

// The folder of the computer's part (machine) or of the users' part, and
// its Registry.pol.
std::string GpoPartFolder(const std::string& folder, bool machine);
std::string GpoPolicyFile(const std::string& folder, bool machine);
std::string GpoIniFile(const std::string& folder);

struct IniUpdate {
  Bytes bytes;
  std::string error;  // gpt.ini cannot be edited: why
};

// gpt.ini after a change to one part: [General]'s Version goes up by one on
// that part (+1 for the computer, +65536 for users), and the registry
// extension with the administrative templates' tool joins the part's
// extension names, in the sorted place the editor gives it. Every other
// line is kept as it was. No bytes at all are a gpt.ini still to be made.
IniUpdate UpdateGptIni(const Bytes& ini, bool machine);

}  // namespace polvane
