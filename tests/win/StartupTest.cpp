// Start-up shows the current user's stored policies.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/support/TestServices.h"
#include "tests/win/support/PolicyKeys.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

class Startup : public PolicyTest {
 protected:
  void ExpectSubOptionsEnabled(bool enabled) {
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(IsWindowEnabled(form.chkSubOption(i).Hwnd()) != FALSE, enabled) << i;
  }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

TEST_F(Startup, NothingStoredOpensAllClearAndEnabled) {
  form.Start();
  EXPECT_TRUE(IsWindowVisible(form.Hwnd()));
  EXPECT_EQ(form.chkOption(0).Value(), kUnchecked);
  EXPECT_EQ(form.chkOption(1).Value(), kUnchecked);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.chkSubOption(i).Value(), kUnchecked);
  ExpectSubOptionsEnabled(true);
  EXPECT_EQ(GetFocus(), form.chkSubOption(0).Hwnd());
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"));  // a load never writes
}

TEST_F(Startup, PreventRunGreysOutTheSubOptionsShowingTheirOwnTicks) {
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisablePC2PCAudio", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 2);
  form.Start();
  EXPECT_EQ(form.chkOption(0).Value(), kChecked);
  ExpectSubOptionsEnabled(false);
  EXPECT_EQ(form.chkSubOption(0).Value(), kUnchecked);
  EXPECT_EQ(form.chkSubOption(1).Value(), kChecked);
  EXPECT_EQ(form.chkSubOption(2).Value(), kUnchecked);
  EXPECT_EQ(form.chkSubOption(3).Value(), kGreyed);
  EXPECT_EQ(form.chkOption(1).Value(), kUnchecked);
  // The keyboard focus, first on the file-transfer box, moved on when it was
  // disabled.
  EXPECT_EQ(GetFocus(), form.chkOption(0).Hwnd());
}

TEST_F(Startup, MachineWideValuesAreNotShown) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableFileTransfer", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisablePC2Phone", 1);
  form.Start();
  EXPECT_EQ(form.chkOption(0).Value(), kUnchecked);
  EXPECT_EQ(form.chkSubOption(0).Value(), kUnchecked);
  EXPECT_EQ(form.chkSubOption(2).Value(), kChecked);
  ExpectSubOptionsEnabled(true);
}

TEST_F(Startup, OutOfRangeNumbersShowChecked) {
  StorePolicy(HKEY_CURRENT_USER, "DisableFileTransfer", 65536);
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 0xFFFFFFFF);
  form.Start();
  EXPECT_EQ(form.chkSubOption(0).Value(), kChecked);
  EXPECT_EQ(form.chkSubOption(3).Value(), kChecked);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableFileTransfer"), 65536u);
}

}  // namespace
}  // namespace polvane::test
