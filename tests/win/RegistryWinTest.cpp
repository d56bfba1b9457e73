// The policy store against Wine's real registry, read back independently.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Win32Registry.h"
#include "platform/Handles.h"
#include "rules/PolicyTable.h"
#include "rules/mdlRegistry.h"
#include "tests/common/CountingRegistry.h"
#include "tests/common/RegistryReads.h"
#include "tests/win/support/PolicyKeys.h"

namespace polvane::test {
namespace {

class RealRegistry : public PolicyTest {
 protected:
  Win32Registry registry;
};

TEST_F(RealRegistry, RootsAreWindowsOwnHandles) {
  EXPECT_EQ(kCurrentUser, reinterpret_cast<RegKey>(HKEY_CURRENT_USER));
  EXPECT_EQ(kLocalMachine, reinterpret_cast<RegKey>(HKEY_LOCAL_MACHINE));
}

TEST_F(RealRegistry, WriteCreatesTheKeyPathAndStoresADword) {
  ASSERT_EQ(WriteDWORD(registry, kLocalMachine, kPolicyKeyPath, "DisableVideo", 1), kSuccess);
  ASSERT_EQ(WriteDWORD(registry, kLocalMachine, kPolicyKeyPath, "PreventRun", -1), kSuccess);

  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Policies\\Microsoft\\Messenger\\Client", 0,
                          KEY_READ, &opened),
            ERROR_SUCCESS);
  const UniqueKey key(opened);
  DWORD type = 0;
  BYTE data[8]{};
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key.Get(), "DisableVideo", nullptr, &type, data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data[0], 1);
  EXPECT_EQ(StoredPolicy(HKEY_LOCAL_MACHINE, "PreventRun"), 0xFFFFFFFFu);
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"));
}

TEST_F(RealRegistry, ReadsBackWhatAnotherProgramStored) {
  StorePolicy(HKEY_CURRENT_USER, "DisablePC2Phone", 2);
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "DisablePC2Phone"), 2);
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "DisableVideo"), 0);
  EXPECT_EQ(NumberOrZero(registry, kLocalMachine, kPolicyKeyPath, "DisablePC2Phone"), 0);
}

TEST_F(RealRegistry, ValuesOfAnotherTypeOrSizeReadZero) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kPolicyPath, &created), ERROR_SUCCESS);
  const UniqueKey key(created);
  const DWORD64 big = 1;
  const WORD small = 1;
  const DWORD one = 1;
  RegSetValueExA(key.Get(), "PreventRun", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegSetValueExA(key.Get(), "DisableFileTransfer", 0, REG_QWORD,
                 reinterpret_cast<const BYTE*>(&big), 8);
  RegSetValueExA(key.Get(), "DisablePC2PCAudio", 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&small), 2);
  RegSetValueExA(key.Get(), "DisablePC2Phone", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&one),
                 4);
  RegSetValueExA(key.Get(), "DisableVideo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&big), 8);
  for (const PolicyRow& row : kPolicyTable)
    EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, row.valueName), 0)
        << row.valueName;
}

TEST_F(RealRegistry, EveryReadAndWriteClosesWhatItOpened) {
  CountingRegistry counting(registry);
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  NumberOrZero(counting, kCurrentUser, kPolicyKeyPath, "PreventRun");
  NumberOrZero(counting, kLocalMachine, kPolicyKeyPath, "PreventRun");  // no such key
  WriteDWORD(counting, kCurrentUser, kPolicyKeyPath, "PreventRun", 0);
  EXPECT_EQ(counting.Count(RegCall::Open), 2);
  EXPECT_EQ(counting.Count(RegCall::Query), 1);
  EXPECT_EQ(counting.Count(RegCall::Create), 1);
  EXPECT_EQ(counting.Count(RegCall::Set), 1);
  EXPECT_EQ(counting.Count(RegCall::Close), 2);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 0u);
}

}  // namespace
}  // namespace polvane::test
