// The five policies of a scope as .pol, .reg and LGPO text files.
#include <gtest/gtest.h>

#include <string>

#include "rules/PolicyFiles.h"
#include "rules/PolicyTable.h"
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
      EXPECT_TRUE(back.notes.empty());
      // A .reg script is a snapshot that names every value, set or not; for
      // Group Policy a value that is not set has no record, and an import
      // leaves it as it is.
      const bool snapshot = format == PolicyFileFormat::Reg;
      for (std::size_t row = 0; row < kSome.size(); ++row) {
        ASSERT_EQ(back.values[row].has_value(), snapshot || kSome[row].has_value()) << row;
        if (back.values[row]) {
          EXPECT_EQ(*back.values[row], kSome[row]) << row;
        }
      }
      // A .reg or LGPO file names its scope, and holds nothing for the other;
      // a Registry.pol's scope is the file it is.
      const ImportedPolicies other =
          ImportPolicies(format, !allUsers, ExportPolicies(format, allUsers, kSome));
      ASSERT_EQ(other.notes.size(), format == PolicyFileFormat::Pol ? 0u : 1u);
      if (format != PolicyFileFormat::Pol) {
        EXPECT_EQ(
            other.notes[0].rfind(snapshot ? "Skipped 5 values of " : "Skipped 3 values of ", 0), 0u)
            << other.notes[0];
      }
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
  EXPECT_EQ(read.notes, std::vector<std::string>{"Skipped " + key +
                                                 "\\**DeleteValues: not one of the five "
                                                 "policies of all users."});
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
  EXPECT_EQ(read.notes, (std::vector<std::string>{
                            "Skipped Computer Software\\Policies\\Other\\X: not one of the "
                            "five policies of all users.",
                            "PreventRun is a REG_SZ, not a REG_DWORD: skipped."}));

  // Another key's values are counted on its line, wherever they stand.
  const std::string reg =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"a\"=dword:1\r\n\"b\"=\"x\"\r\n\r\n[HKEY_CURRENT_USER\\" +
      std::string(kPolicyKeyPath) +
      "]\r\n\"X\"=dword:1\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\other]\r\n\"c\"=-\r\n";
  EXPECT_EQ(ImportPolicies(PolicyFileFormat::Reg, false, Bytes(reg.begin(), reg.end())).notes,
            (std::vector<std::string>{
                "Skipped 3 values of HKEY_CURRENT_USER\\Software\\Other: not one of the five "
                "policies of the current user.",
                "Skipped HKEY_CURRENT_USER\\" + std::string(kPolicyKeyPath) +
                    "\\X: not one of the five policies of the current user."}));

  // LGPO's every verb, comments and blank lines, a trailing space, and its
  // text in UTF-8 with a byte-order mark; each record against the values
  // DisableVideo=1 and PreventRun=1 set before it.
  const std::string client = "Software\\Policies\\Microsoft\\Messenger\\Client\r\n";
  const std::string before = "User\r\n" + client + "DisableVideo\r\nDWORD:1\r\n\r\nUser \r\n" +
                             client + "PreventRun\r\nDWORD:1\r\n; then\r\n\r\nUser\r\n";
  struct Lgpo {
    std::string record;
    std::optional<std::uint32_t> video;
    std::size_t notes;
  };
  const Lgpo verbs[] = {
      {client + "*\r\nDELETEALLVALUES", std::nullopt, 0},
      {client + "*\r\nCREATEKEY", 1u, 0},
      {client + "DisableVideo\r\nDELETE", std::nullopt, 0},
      {client + "DisableVideo\r\nEXSZ:%x%", 1u, 1},
      {client + "DisableVideo\r\nMULTISZ:a\\0b", 1u, 1},
      {"Software\\Policies\\Other\r\nX\r\nBINARY:0102", 1u, 1},
  };
  for (const Lgpo& verb : verbs) {
    const std::string text = "\xEF\xBB\xBF" + before + verb.record + "\r\n";
    using Taken = std::optional<std::optional<std::uint32_t>>;
    const ImportedPolicies got =
        ImportPolicies(PolicyFileFormat::Lgpo, false, Bytes(text.begin(), text.end()));
    EXPECT_EQ(got.error, "") << verb.record;
    EXPECT_EQ(got.values[4], Taken(verb.video)) << verb.record;
    const bool all = verb.record.find("DELETEALL") != std::string::npos;
    EXPECT_EQ(got.values[0], all ? Taken(std::optional<std::uint32_t>()) : Taken(1u))
        << verb.record;
    EXPECT_EQ(got.notes.size(), verb.notes) << verb.record;
  }
  const std::pair<std::string, std::string> wrongAt[] = {
      {before + client + "X\r\nFROB:1\r\n", "line 15 names no action LGPO knows"},
      {before + client + "X\r\nDWORD:one\r\n", "line 15 holds no DWORD number"},
      {before + client + "X\r\nDWORD\r\n", "line 15 holds no DWORD number"},
      {"; first\r\n\r\nComputers\r\nx\r\ny\r\nDELETE\r\n", "line 3 is neither Computer nor User"},
  };
  for (const auto& [text, why] : wrongAt)
    EXPECT_NE(ImportPolicies(PolicyFileFormat::Lgpo, false, Bytes(text.begin(), text.end()))
                  .error.find(why),
              std::string::npos)
        << why;

  const std::pair<PolicyFileFormat, std::string> broken[] = {
      {PolicyFileFormat::Pol, "PReg\x02"},
      {PolicyFileFormat::Reg, "REGEDIT4 \r\n"},
      {PolicyFileFormat::Reg, "\r\nWindows Registry Editor Version 5.00\r\n"},
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
