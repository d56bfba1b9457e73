// Where the folders of a path start, for each form of Windows path.
#include <gtest/gtest.h>

#include "rules/Paths.h"

namespace polvane::test {
namespace {

TEST(PathRoot, EachFormOfPathEndsItsRootAfterTheSeparatorThatFollowsIt) {
  const struct {
    const char* path;
    const char* root;
  } cases[] = {
      {"C:\\Data\\x.pol", "C:\\"},
      {"c:/Data/x.pol", "c:/"},
      {"C:x.pol", "C:"},
      {"\\Data\\x.pol", "\\"},
      {"Data\\x.pol", ""},
      {"", ""},
      {"\\\\server\\share\\Data\\x.pol", "\\\\server\\share\\"},
      {"\\\\server\\share", "\\\\server\\share"},
      {"\\\\?\\C:\\Data\\x.pol", "\\\\?\\C:\\"},
      {"\\\\.\\C:\\Data\\x.pol", "\\\\.\\C:\\"},
      {"\\\\?\\UNC\\server\\share\\Data\\x.pol", "\\\\?\\UNC\\server\\share\\"},
      {"\\\\?\\unc\\server\\share", "\\\\?\\unc\\server\\share"},
      {"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\Data\\x.pol",
       "\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\"},
      {"\\\\?\\UNCfolder\\x.pol", "\\\\?\\UNCfolder\\"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(c.path).substr(0, PathRootLength(c.path)), c.root) << c.path;
}

TEST(Paths, TheNamesWindowsKeepsForDevicesAreDevicesInAnyFolderAndWithAnyEnding) {
  for (const char* device : {"NUL", "nul.pol", "C:\\Data\\NUL.pol", "COM1.txt", "D:lpt9.reg",
                             "\\\\server\\share\\Con .reg", "aux.x.y", "CONOUT$", "prn"})
    EXPECT_TRUE(NamesADevice(device)) << device;
  for (const char* file : {"NULL.pol", "COM0.pol", "COM10.pol", "LPT.pol", "C:\\NUL\\x.pol",
                           "my NUL.pol", "Registry.pol", ""})
    EXPECT_FALSE(NamesADevice(file)) << file;
}

}  // namespace
}  // namespace polvane::test
