// The five policies of a scope as .pol, .reg and LGPO text files.
#include <gtest/gtest.h>

#include <string>

#include "rules/PolicyFiles.h"
#include "seams/RegistryApi.h"

namespace polvane::test {
namespace {

const PolicyValues kSome{1u, std::nullopt, 0u, std::nullopt, 2u};

TEST(PolicyFiles, ExportThenImportGivesBackTheSameValuesInEveryFormatAndScope) {
  for (const auto format : {PolicyFileFormat::Pol, PolicyFileFormat::Reg, PolicyFileFormat::Lgpo})
    for (const bool allUsers : {false, true}) {
      const ImportedPolicies back =
          ImportPolicies(format, allUsers, ExportPolicies(format, allUsers, kSome));
      EXPECT_EQ(back.error, "");
      EXPECT_TRUE(back.skipped.empty());
      for (std::size_t row = 0; row < kSome.size(); ++row) {
        ASSERT_TRUE(back.values[row].has_value()) << "every value is named, set or not";
        EXPECT_EQ(*back.values[row], kSome[row]) << row;
      }
      // A .reg or LGPO file names its scope, and holds nothing for the other;
      // a Registry.pol's scope is the file it is.
      const ImportedPolicies other =
          ImportPolicies(format, !allUsers, ExportPolicies(format, allUsers, kSome));
      EXPECT_EQ(other.skipped.size(), format == PolicyFileFormat::Pol ? 0u : 5u);
    }
}

TEST(PolicyFiles, TextFormatsAreWrittenAsTheirToolsWriteThem) {
  const Bytes reg = ExportPolicies(PolicyFileFormat::Reg, true, kSome);
  std::string text;
  ASSERT_GE(reg.size(), 2u);
  EXPECT_EQ(reg[0], 0xFF);
  EXPECT_EQ(reg[1], 0xFE);
  for (std::size_t i = 2; i < reg.size(); i += 2) text.push_back(static_cast<char>(reg[i]));
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Policies\\Microsoft\\Messenger\\Client]\r\n"
            "\"PreventRun\"=dword:00000001\r\n\"DisableFileTransfer\"=-\r\n"
            "\"DisablePC2PCAudio\"=dword:00000000\r\n\"DisablePC2Phone\"=-\r\n"
            "\"DisableVideo\"=dword:00000002\r\n\r\n");
  const Bytes lgpo = ExportPolicies(PolicyFileFormat::Lgpo, false, kSome);
  EXPECT_EQ(std::string(lgpo.begin(), lgpo.end())
                .find("User\r\nSoftware\\Policies\\Microsoft\\Messenger\\Client\r\nPreventRun\r\n"
                      "DWORD:1\r\n\r\nUser\r\n"),
            0u);
}

TEST(PolicyFiles, ARegistryPolIsImportedInItsOrderItsDeletionsOfManyValuesIncluded) {
  const std::string key = "Software\\Policies\\Microsoft\\Messenger\\Client";
  Bytes pol{'P', 'R', 'e', 'g', 1, 0, 0, 0};
  for (const Bytes& record :
       {PolRecordBytes(key, "DisableVideo", kRegDword, {1, 0, 0, 0}),
        PolRecordBytes(key, "**delvals.", kRegSz, {' ', 0, 0, 0}),
        PolRecordBytes(key, "PreventRun", kRegDword, {1, 0, 0, 0}),
        PolRecordBytes(key, "**DeleteValues", kRegSz, {'D', 0, 'i', 0, 's', 0, ';', 0, 0, 0})})
    pol.insert(pol.end(), record.begin(), record.end());
  const ImportedPolicies read = ImportPolicies(PolicyFileFormat::Pol, true, pol);
  EXPECT_EQ(read.values[0], std::optional<std::optional<std::uint32_t>>(1u));
  for (std::size_t row = 1; row < 5; ++row) {  // "not set", by **delvals.
    ASSERT_TRUE(read.values[row]) << row;
    EXPECT_FALSE(*read.values[row]) << row;
  }
  // Its list names none of the five.
  EXPECT_EQ(read.skipped, std::vector<std::string>{key + "\\**DeleteValues"});
}

TEST(PolicyFiles, ImportNamesAndSkipsWhatIsNotOursAndRefusesWhatDoesNotParse) {
  const std::string lgpo =
      "; from another tool\r\nComputer\r\nSoftware\\Policies\\Microsoft\\Messenger\\Client\r\n"
      "DisableVideo\r\nDWORD:1\r\n\r\nComputer\r\nSoftware\\Policies\\Other\r\nX\r\nSZ:on\r\n\r\n"
      "Computer\r\nSoftware\\Policies\\Microsoft\\Messenger\\Client\r\nPreventRun\r\nSZ:1\r\n";
  const ImportedPolicies read =
      ImportPolicies(PolicyFileFormat::Lgpo, true, Bytes(lgpo.begin(), lgpo.end()));
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.values[4], std::optional<std::optional<std::uint32_t>>(1u));
  EXPECT_FALSE(read.values[0].has_value());
  EXPECT_EQ(read.skipped,
            (std::vector<std::string>{
                "Computer Software\\Policies\\Other\\X",
                "Computer Software\\Policies\\Microsoft\\Messenger\\Client\\PreventRun "
                "(SZ:1)"}));

  const std::pair<PolicyFileFormat, std::string> broken[] = {
      {PolicyFileFormat::Pol, "PReg\x02"},
      {PolicyFileFormat::Reg, "REGEDIT4\r\n"},
      {PolicyFileFormat::Reg, "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\x\r\n"},
      {PolicyFileFormat::Lgpo, "Computer\r\nSoftware\\x\r\n"},
      {PolicyFileFormat::Lgpo, "Elsewhere\r\nSoftware\\x\r\nY\r\nDELETE\r\n"},
  };
  for (const auto& [format, text] : broken) {
    const ImportedPolicies refused = ImportPolicies(format, true, Bytes(text.begin(), text.end()));
    EXPECT_NE(refused.error, "") << text;
    for (const auto& value : refused.values) EXPECT_FALSE(value.has_value()) << text;
  }
}

}  // namespace
}  // namespace polvane::test
