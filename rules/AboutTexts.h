#pragma once
// The About window's texts, made from the program file's version record.
// Free of Windows so that they are tested natively.
#include <cstdint>
#include <string>

namespace polvane {

// The parts of the version record the About window shows.
struct VersionRecord {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
  std::string companyName;
  std::string productName;
};

struct AboutTexts {
  std::string caption;      // "About Polvane"
  std::string title;        // "Krestel Polvane"
  std::string version;      // "Version 1.0.4": major, minor and revision
  std::string description;  // fixed
};

AboutTexts MakeAboutTexts(const VersionRecord& record);

}  // namespace polvane
