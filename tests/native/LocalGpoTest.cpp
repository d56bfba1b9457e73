// gpt.ini as the local Group Policy editor leaves it after a change.
#include <gtest/gtest.h>

#include <string>

#include "rules/LocalGpo.h"

namespace polvane::test {
namespace {

constexpr char kMachinePair[] =
    "[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}{D02B1F72-3407-48AE-BA88-E8213C6761F1}]";
constexpr char kUserPair[] =
    "[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}{D02B1F73-3407-48AE-BA88-E8213C6761F1}]";
// Wireless settings, listed before the registry extension, and Scripts after.
constexpr char kWireless[] =
    "[{0ACDD40C-75AC-47AB-BAA0-BF6DE7E7FE63}{2DA6AA7F-8C88-4194-A558-0D36E7FD3E64}]";
constexpr char kScripts[] =
    "[{42B5FAAE-6536-11D2-AE5A-0000F87571E3}{40B6664F-4972-11D1-A7CA-0000F87571E3}]";

std::string Updated(const std::string& ini, bool machine) {
  const IniUpdate update = UpdateGptIni(Bytes(ini.begin(), ini.end()), machine);
  return update.error.empty() ? std::string(update.bytes.begin(), update.bytes.end())
                              : "error: " + update.error;
}

TEST(UpdateGptIni, RaisesThePartsVersionAndListsTheRegistryExtensionKeepingEverythingElse) {
  const std::string m = kMachinePair, u = kUserPair;
  struct Case {
    const char* what;
    std::string before;
    bool machine;
    std::string after;
  };
  const Case cases[] = {
      {"made for the computer", "", true,
       "[General]\r\ngPCFunctionalityVersion=2\r\ngPCMachineExtensionNames=" + m +
           "\r\nVersion=1\r\n"},
      {"made for users", "", false,
       "[General]\r\ngPCFunctionalityVersion=2\r\ngPCUserExtensionNames=" + u +
           "\r\nVersion=65536\r\n"},
      {"the pair is there already",
       "[General]\r\ngPCMachineExtensionNames=" + m + "\r\nVersion=7\r\n", true,
       "[General]\r\ngPCMachineExtensionNames=" + m + "\r\nVersion=8\r\n"},
      {"the users' part counts in the high word", "[General]\r\nVersion=65537\r\n", false,
       "[General]\r\nVersion=131073\r\ngPCUserExtensionNames=" + u + "\r\n"},
      {"another extension on either side stays, in GUID order",
       "[general]\nVersion = 3\ngPCMachineExtensionNames=" + std::string(kWireless) + kScripts +
           "\ndisplayName=Local\n\n[Other]\nKeep=1\n",
       true,
       "[general]\nVersion =4\ngPCMachineExtensionNames=" + std::string(kWireless) + m + kScripts +
           "\ndisplayName=Local\n\n[Other]\nKeep=1\n"},
      {"the tool joins the registry extension's own list",
       "[General]\r\ngPCUserExtensionNames=[{35378eac-683f-11d2-a89a-00c04fbbcfa2}"
       "{0F6B957E-509E-11D1-A7CC-0000F87571E3}]\r\nVersion=0",
       false,
       "[General]\r\ngPCUserExtensionNames=[{35378eac-683f-11d2-a89a-00c04fbbcfa2}"
       "{0F6B957E-509E-11D1-A7CC-0000F87571E3}{D02B1F73-3407-48AE-BA88-E8213C6761F1}]\r\n"
       "Version=65536"},
      {"no [General] section", "; made by hand\r\n[Other]\r\nKeep=1", true,
       "; made by hand\r\n[Other]\r\nKeep=1\r\n[General]\r\ngPCMachineExtensionNames=" + m +
           "\r\nVersion=1\r\n"},
      {"the computer's part wraps past 65535 to 1", "[General]\r\nVersion=131071\r\n", true,
       "[General]\r\nVersion=65537\r\ngPCMachineExtensionNames=" + m + "\r\n"},
      {"a Version that is no number", "[General]\r\nVersion=-1\r\n", true,
       "error: gpt.ini's Version, -1, is not a number."},
      {"extension names that are no list", "[General]\r\ngPCMachineExtensionNames={x}\r\n", true,
       "error: gpt.ini's gPCMachineExtensionNames is not a list of [{GUID}...]."},
      {"UTF-8 with its byte-order mark, kept", "\xEF\xBB\xBF[General]\r\nVersion=2\r\n", true,
       "\xEF\xBB\xBF[General]\r\nVersion=3\r\ngPCMachineExtensionNames=" + m + "\r\n"},
      {"UTF-16", std::string("\xFF\xFE[\0", 4), true,
       "error: gpt.ini is UTF-16 text, which Polvane does not edit."},
      {"UTF-16 without its mark", std::string("[\0G\0", 4), false,
       "error: gpt.ini is UTF-16 text, which Polvane does not edit."},
  };
  for (const Case& c : cases) EXPECT_EQ(Updated(c.before, c.machine), c.after) << c.what;
}

}  // namespace
}  // namespace polvane::test
