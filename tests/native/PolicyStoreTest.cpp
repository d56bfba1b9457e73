// Reading and writing the five policy values, against the in-memory registry
// through a wrapper that counts calls and can make them fail.
#include <gtest/gtest.h>

#include <type_traits>

#include "tests/common/MemoryRegistry.h"
#include "tests/common/RegistryReads.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
#include "tests/common/CountingRegistry.h"
#include "tests/native/FakePanel.h"

namespace polvane::test {
namespace {

static_assert(!std::is_copy_constructible_v<OpenedKey> && std::is_move_constructible_v<OpenedKey>);

using Bytes = std::vector<std::uint8_t>;
const std::vector<std::string> kValueNames{"PreventRun", "DisableFileTransfer", "DisablePC2PCAudio",
                                           "DisablePC2Phone", "DisableVideo"};

MemoryRegistry::StoredValue Dword(std::uint32_t number) {
  return {kRegDword,
          {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
           static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

class Policies : public ::testing::Test {
 protected:
  void Store(RegKey root, const std::string& name, MemoryRegistry::StoredValue value) {
    memory.Put(root, kPolicyKeyPath, name, std::move(value));
  }
  std::optional<MemoryRegistry::StoredValue> Stored(RegKey root, const std::string& name) {
    return memory.Get(root, kPolicyKeyPath, name);
  }
  std::array<CheckValue, 5> PanelValues() {
    std::array<CheckValue, 5> values{};
    for (std::size_t i = 0; i < kPolicyTable.size(); ++i)
      values[i] = BoxOf(panel, kPolicyTable[i]).Value();
    return values;
  }

  MemoryRegistry memory;
  CountingRegistry registry{memory};
  const PolicyStore store{registry};
  FakePanel panel;
};

TEST_F(Policies, ReadsWhatWasWrittenWithTheKeyPathCreated) {
  EXPECT_EQ(WriteDWORD(registry, kCurrentUser, "Software\\A\\B", "V", -2), kSuccess);
  EXPECT_TRUE(memory.HasKey(kCurrentUser, "Software\\A"));
  EXPECT_EQ(memory.Get(kCurrentUser, "Software\\A\\B", "V"), Dword(0xFFFFFFFE));
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, "software\\a\\b", "v"), -2);
  EXPECT_EQ(memory.OpenHandles(), 0u);
}

TEST_F(Policies, MissingKeyOrValueReadsZeroAndUnopenedKeysAreNotUsed) {
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "PreventRun"), 0);
  EXPECT_EQ(registry.Count(RegCall::Open), 1);
  EXPECT_EQ(registry.Count(RegCall::Query), 0);
  EXPECT_EQ(registry.Count(RegCall::Close), 0);

  Store(kCurrentUser, "Other", Dword(1));
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "PreventRun"), 0);
  EXPECT_EQ(registry.Count(RegCall::Close), 1);
  EXPECT_EQ(memory.OpenHandles(), 0u);
}

TEST_F(Policies, OnlyAFourByteDwordIsTrusted) {
  const std::vector<MemoryRegistry::StoredValue> untrusted{
      {kRegSz, {'1', 0}},
      {kRegBinary, {1, 0, 0, 0}},
      {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}},
      {kRegDword, {1, 0}},
      {kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}},
      {kRegDword, {}},
  };
  for (const auto& value : untrusted) {
    Store(kCurrentUser, "PreventRun", value);
    EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "PreventRun"), 0)
        << "type " << value.type << ", " << value.data.size() << " bytes";
  }
  EXPECT_EQ(memory.OpenHandles(), 0u);
}

TEST_F(Policies, FailedQueryReadsZeroWhateverItLeftInTheBuffer) {
  Store(kCurrentUser, "PreventRun", Dword(1));
  registry.Fail(RegCall::Query, "PreventRun", kAccessDenied);
  EXPECT_EQ(NumberOrZero(registry, kCurrentUser, kPolicyKeyPath, "PreventRun"), 0);
  EXPECT_EQ(registry.Count(RegCall::Close), 1);
}

TEST_F(Policies, LoadWalksTheTableOpeningAndClosingTheKeyPerValue) {
  Store(kCurrentUser, "DisablePC2PCAudio", Dword(1));
  Store(kCurrentUser, "DisableVideo", Dword(2));
  LoadPolicies(store, panel, false);

  EXPECT_EQ(registry.Names(RegCall::Query), kValueNames);
  EXPECT_EQ(registry.Count(RegCall::Open), 5);
  EXPECT_EQ(registry.Count(RegCall::Close), 5);
  EXPECT_EQ(registry.Count(RegCall::Create) + registry.Count(RegCall::Set), 0);
  for (const RecordedCall& call : registry.Calls()) {
    if (call.call == RegCall::Open) {
      EXPECT_EQ(call.root, kCurrentUser);
    }
  }
  EXPECT_EQ(PanelValues(), (std::array<CheckValue, 5>{0, 0, 1, 0, 2}));
}

TEST_F(Policies, AnyNonZeroNumberLoadsChecked) {
  for (std::uint32_t number : {3u, 65536u, 65538u, 0x80000000u, 0xFFFFFFFFu, 0xFFFF0000u}) {
    Store(kLocalMachine, "DisableFileTransfer", Dword(number));
    panel.SubOption(0).SetValue(kUnchecked);
    LoadPolicies(store, panel, true);
    EXPECT_EQ(panel.SubOption(0).Value(), kChecked) << number;
  }
  EXPECT_EQ(Stored(kLocalMachine, "DisableFileTransfer"), Dword(0xFFFF0000u));
  EXPECT_EQ(registry.Count(RegCall::Create) + registry.Count(RegCall::Set), 0);
}

TEST_F(Policies, LoadingPreventRunDisablesSubOptionsBeforeTheirValuesArrive) {
  Store(kCurrentUser, "PreventRun", Dword(1));
  Store(kCurrentUser, "DisableFileTransfer", Dword(1));
  LoadPolicies(store, panel, false);
  const std::vector<std::string> expected{"master = 1",    "sub0 disabled", "sub1 disabled",
                                          "sub2 disabled", "sub3 disabled", "sub0 = 1"};
  EXPECT_EQ(panel.log, expected);

  Store(kCurrentUser, "PreventRun", Dword(0));
  LoadPolicies(store, panel, false);
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    EXPECT_TRUE(panel.SubOption(i).IsEnabled());
}

TEST_F(Policies, SaveWritesAllFiveInOrderToTheChosenRootOnly) {
  Store(kCurrentUser, "PreventRun", Dword(7));
  Store(kLocalMachine, "Unrelated", {kRegSz, {'x', 0}});
  panel.Option(0).SetValue(kChecked);  // disables the sub-options...
  panel.SubOption(1).SetValue(kChecked);
  panel.SubOption(3).SetValue(kGreyed);  // ...whose values are saved all the same

  EXPECT_EQ(SavePolicies(store, panel, true), kSuccess);

  EXPECT_EQ(registry.Names(RegCall::Set), kValueNames);
  EXPECT_EQ(registry.Count(RegCall::Create), 5);
  EXPECT_EQ(registry.Count(RegCall::Close), 5);
  EXPECT_EQ(registry.Count(RegCall::Open) + registry.Count(RegCall::Query), 0);
  for (const RecordedCall& call : registry.Calls()) {
    if (call.call == RegCall::Create) {
      EXPECT_EQ(call.root, kLocalMachine);
    }
  }
  const std::array<std::uint32_t, 5> expected{1, 0, 1, 0, 2};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(Stored(kLocalMachine, kValueNames[i]), Dword(expected[i])) << kValueNames[i];
  EXPECT_EQ(Stored(kLocalMachine, "Unrelated"), (MemoryRegistry::StoredValue{kRegSz, {'x', 0}}));
  EXPECT_EQ(Stored(kCurrentUser, "PreventRun"), Dword(7));
  EXPECT_FALSE(Stored(kCurrentUser, "DisableVideo"));
}

TEST_F(Policies, SavingAClearPanelCreatesTheKeyWithFiveZeros) {
  EXPECT_EQ(SavePolicies(store, panel, false), kSuccess);
  EXPECT_TRUE(memory.HasKey(kCurrentUser, "Software\\Policies\\Microsoft\\Messenger"));
  for (const std::string& name : kValueNames) EXPECT_EQ(Stored(kCurrentUser, name), Dword(0));
  EXPECT_FALSE(memory.HasKey(kLocalMachine, "Software\\Policies"));
}

TEST_F(Policies, GreyedValueRoundTrips) {
  Store(kCurrentUser, "DisablePC2Phone", Dword(2));
  LoadPolicies(store, panel, false);
  EXPECT_EQ(panel.SubOption(2).Value(), kGreyed);
  SavePolicies(store, panel, false);
  EXPECT_EQ(Stored(kCurrentUser, "DisablePC2Phone"), Dword(2));
}

TEST_F(Policies, FailedWritesAreAllAttemptedAndTheFirstIsReported) {
  registry.Fail(RegCall::Set, "DisableFileTransfer", kAccessDenied);
  registry.Fail(RegCall::Create, "", 1234);  // from here on, every create fails
  panel.SubOption(0).SetValue(kChecked);
  EXPECT_EQ(SavePolicies(store, panel, true), 1234);
  EXPECT_EQ(registry.Count(RegCall::Create), 5);
  EXPECT_EQ(registry.Count(RegCall::Set), 0);
  EXPECT_FALSE(memory.HasKey(kLocalMachine, "Software"));
  EXPECT_EQ(panel.SubOption(0).Value(), kChecked);
}

TEST_F(Policies, FailedSetStillClosesTheKeyAndTheRestAreWritten) {
  registry.Fail(RegCall::Set, "DisablePC2PCAudio", kAccessDenied);
  EXPECT_EQ(SavePolicies(store, panel, false), kAccessDenied);
  EXPECT_EQ(registry.Count(RegCall::Set), 5);
  EXPECT_EQ(registry.Count(RegCall::Close), 5);
  EXPECT_FALSE(Stored(kCurrentUser, "DisablePC2PCAudio"));
  EXPECT_EQ(Stored(kCurrentUser, "DisableVideo"), Dword(0));
  EXPECT_EQ(memory.OpenHandles(), 0u);
}

// Windows answers for the key, or for the nearest parent that would have to
// make it; only a refusal keeps Polvane from trying.
TEST_F(Policies, WriteAccessAsksTheKeyOrItsNearestExistingParent) {
  struct Case {
    const char* protectedPath;  // nullptr: nothing is protected
    const char* existing;       // made writable; nullptr: nothing exists
    Win32Error access;
    int asked;  // keys asked, from the policy key up
  };
  const Case cases[] = {
      {kPolicyKeyPath, nullptr, kAccessDenied, 1},
      {"Software\\Policies", nullptr, kAccessDenied, 4},
      {nullptr, "Software\\Policies\\Microsoft", kSuccess, 3},
      {nullptr, nullptr, kFileNotFound, 5},
  };
  for (const Case& c : cases) {
    MemoryRegistry keys;
    CountingRegistry counted{keys};
    const PolicyStore scopes{counted};
    if (c.protectedPath) keys.Protect(kLocalMachine, c.protectedPath);
    if (c.existing) keys.Put(kLocalMachine, c.existing, "Other", Dword(1));
    EXPECT_EQ(WriteAccess(counted, kLocalMachine, kPolicyKeyPath), c.access) << c.asked;
    EXPECT_EQ(counted.Count(RegCall::MayWrite), c.asked);
    EXPECT_EQ(MayChangePolicies(scopes, true), c.access != kAccessDenied);
    EXPECT_TRUE(MayChangePolicies(scopes, false));  // the other scope is not asked about
    EXPECT_EQ(keys.OpenHandles(), 0u);
  }
}

}  // namespace
}  // namespace polvane::test
