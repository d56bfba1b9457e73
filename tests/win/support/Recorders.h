#pragma once
// Helpers that note what the program handed to others: the addresses the
// shell was asked to open, the notices broadcast to running programs, and
// the shield a button was asked to show.
#include <windows.h>

#include "rules/UniqueAny.h"
#include "tests/win/support/Processes.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace polvane::test {

// Makes link_recorder.exe, built beside the tests, the program the shell
// starts for http and https addresses for as long as it lives, with an empty
// log; puts back what was registered before.
class LinkRecorder {
 public:
  LinkRecorder();
  ~LinkRecorder();
  LinkRecorder(const LinkRecorder&) = delete;
  LinkRecorder& operator=(const LinkRecorder&) = delete;

  // The addresses received so far, waiting (up to 30 s) until there are at
  // least count: the shell starts the recorder and does not wait for it.
  static std::vector<std::string> Addresses(std::size_t count);

 private:
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

// Runs setting_recorder.exe, built beside the tests, for as long as it
// lives: a window of another process that notes every WM_SETTINGCHANGE.
class SettingRecorder {
 public:
  SettingRecorder();
  ~SettingRecorder();
  SettingRecorder(const SettingRecorder&) = delete;
  SettingRecorder& operator=(const SettingRecorder&) = delete;

  // How many WM_SETTINGCHANGE "Policy" it has received. A broadcast is sent,
  // not posted, so one made before the call has arrived.
  static int PolicyNotices();

 private:
  ChildProcess process_;
};

using UniqueHook = UniqueAny<HandlePolicy<HHOOK, UnhookWindowsHookEx>>;

// While it lives, notes the shield each button of this thread was last asked
// to show (BCM_SETSHIELD), as a hook of another program sees the message.
class ShieldRecorder {
 public:
  ShieldRecorder();
  ~ShieldRecorder();
  ShieldRecorder(const ShieldRecorder&) = delete;
  ShieldRecorder& operator=(const ShieldRecorder&) = delete;

  // Whether button was last asked to show the shield; false if never.
  static bool Shows(HWND button);

 private:
  UniqueHook hook_;
};

}  // namespace polvane::test
