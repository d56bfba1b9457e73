// Whole files as /export and /gpo replace them, on the file system Wine
// runs on.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/win/support/Processes.h"

namespace polvane::test {
namespace {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The path as the platform under Wine names it.
std::wstring UnixName(const std::wstring& path) {
  using UnixFileName = char* (*)(const wchar_t*);
  const auto name = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  const std::string unix = name ? name(path.c_str()) : "";
  return std::wstring(unix.begin(), unix.end());
}

// Runs a shell command of the platform under Wine and waits (up to 10 s)
// until path exists, or is gone: Wine makes no symbolic link itself
// (CreateSymbolicLinkW makes nothing), its DeleteFileW deletes a link's
// target rather than the link, and it gives no handle to wait on.
void RunShell(std::wstring command, const std::wstring& path, bool exists) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  command = L"Z:\\bin\\sh -c \"" + command + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  for (int attempt = 0; attempt < 200 && Exists(path) != exists; ++attempt) Sleep(50);
  ASSERT_EQ(Exists(path), exists) << command.c_str();
}

TEST(WindowsFiles, ReplacingThroughALinkChangesItsTargetAndTheLinkStays) {
  // A folder of this run's own: Wine may still know the one an earlier run
  // left, as it was.
  const std::wstring base = L"files-test-",
                     folder = ProgramFolder() + base + std::to_wstring(GetCurrentProcessId());
  const std::wstring unix = L"'" + UnixName(folder);
  RunShell(L"rm -rf '" + UnixName(ProgramFolder()) + base + L"'* && mkdir " + unix +
               L"' && echo old >" + unix + L"/policies.pol' && ln -s policies.pol " + unix +
               L"/link.pol'",
           folder + L"\\link.pol", true);
  const std::string target = std::string(folder.begin(), folder.end()) + "\\policies.pol";
  const std::string link = std::string(folder.begin(), folder.end()) + "\\link.pol";
  WindowsFiles files;
  std::vector<std::uint8_t> read;
  // Through the link, then to the target: the link must still lead there.
  for (const auto& [written, through] : {std::pair{link, target}, std::pair{target, link}}) {
    ASSERT_EQ(files.Replace(written, {'n', 'e', 'w'}), kSuccess) << written;
    ASSERT_EQ(files.Read(through, read), kSuccess) << through;
    EXPECT_EQ(read, (std::vector<std::uint8_t>{'n', 'e', 'w'})) << written;
    ASSERT_EQ(files.Replace(written, {'o', 'l', 'd'}), kSuccess) << written;
  }
  RunShell(L"rm -rf " + unix + L"'", folder, false);
}

}  // namespace
}  // namespace polvane::test
