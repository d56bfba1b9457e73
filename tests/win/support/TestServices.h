#pragma once
// The services a window under test is handed: the system's own, with a
// registry that counts calls and can fail them, and, where Wine cannot show
// a case, a stated answer in place of the system's.
#include <windows.h>

#include <optional>
#include <string>

#include "ui/WindowServices.h"
#include "tests/common/CountingRegistry.h"
#include "tests/win/support/Processes.h"

namespace polvane::test {

// The system's elevation, except that the program started elevated is
// Polvane.exe beside the tests (this process's own file is a test program),
// and that a stated failure, such as a declined UAC prompt's
// ERROR_CANCELLED, is answered without starting anything.
class TestElevation final : public Elevation {
 public:
  DWORD StartElevated(HWND owner, const std::string& arguments) override {
    return startFailure != ERROR_SUCCESS
               ? startFailure
               : StartAsAdministrator(ProgramFolder() + L"Polvane.exe", owner, arguments);
  }

  DWORD startFailure = ERROR_SUCCESS;
};

// The token's own user, unless a test states another: the SID of an
// administrator who elevated on a standard user's behalf, say.
class TestAccounts final : public Accounts {
 public:
  std::string OwnSid() override { return ownSid.empty() ? system_.OwnSid() : ownSid; }
  Account Find(const std::string& user) override { return system_.Find(user); }
  std::wstring NameOf(const std::string& sid) override { return system_.NameOf(sid); }

  std::string ownSid;

 private:
  SystemAccounts system_;
};

// The system's colours, unless a test states High Contrast on or off (Wine
// keeps no High Contrast setting of its own).
class TestColours final : public SystemColours {
 public:
  bool HighContrastOn() override { return highContrast.value_or(system_.HighContrastOn()); }

  std::optional<bool> highContrast;

 private:
  WindowsColours system_;
};

struct TestServices {
  Services Get() {
    return {{registry, system.files, system.groupPolicy, accounts}, system.shell, elevation, colours};
  }

  SystemServices system;
  CountingRegistry registry{system.registry};
  TestElevation elevation;
  TestAccounts accounts;
  TestColours colours;
};

}  // namespace polvane::test
