// Fuzzes the load path: whatever other tools left under the policy key, and
// whichever registry calls fail, a load must show each value as the rules
// say (0 where it cannot be read), apply the enabling rule, write nothing and
// close every key it opened.
//   load_fuzzer [-max_total_time=N] WORK_DIR tests/fuzz/corpus/load
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <vector>

#include "tests/common/MemoryRegistry.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"
#include "tests/native/FakePanel.h"

namespace polvane {
namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// What each row's calls answer: success (0) lets the call through to the
// stored registry; anything else fails it, as a refusing registry would.
struct RowPlan {
  Win32Error open = kSuccess, query = kSuccess, close = kSuccess;
  RegKey junkHandle = 0;               // what a failed open leaves behind
  std::vector<std::uint8_t> junkData;  // what a failed query leaves behind
  std::uint32_t junkType = 0, junkSize = 0;
};

// Passes calls on to a stored registry, failing those the plan says, and
// keeps account of the keys opened, closed and written.
class HostileRegistry final : public RegistryApi {
 public:
  HostileRegistry(test::MemoryRegistry& inner, std::array<RowPlan, 5> plans)
      : inner_(inner), plans_(std::move(plans)) {}

  Win32Error OpenKey(RegKey root, const char* subKey, RegKey* key) override {
    Require(opens_ < plans_.size());
    const RowPlan& plan = plans_[opens_++];
    if (plan.open != kSuccess) {
      *key = plan.junkHandle;
      return plan.open;
    }
    const Win32Error status = inner_.OpenKey(root, subKey, key);
    if (status == kSuccess) Require(open_.insert(*key).second);
    return status;
  }
  Win32Error QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override {
    Require(open_.contains(key));
    const RowPlan& plan = plans_[opens_ - 1];
    if (plan.query == kSuccess) return inner_.QueryValue(key, name, type, data, size);
    if (!plan.junkData.empty())
      std::memcpy(data, plan.junkData.data(), std::min<std::size_t>(*size, plan.junkData.size()));
    *type = plan.junkType;
    *size = plan.junkSize;
    return plan.query;
  }
  Win32Error CreateKey(RegKey, const char*, RegKey*) override {
    ++writes;
    return kAccessDenied;
  }
  Win32Error SetValue(RegKey, const char*, std::uint32_t, const std::uint8_t*,
                      std::uint32_t) override {
    ++writes;
    return kAccessDenied;
  }
  Win32Error DeleteValue(RegKey, const char*) override {
    ++writes;
    return kAccessDenied;
  }
  Win32Error MayWrite(RegKey, const char*) override { return kAccessDenied; }
  Win32Error CloseKey(RegKey key) override {
    Require(open_.erase(key) == 1);  // only keys it opened, each once
    inner_.CloseKey(key);
    return plans_[opens_ - 1].close;
  }

  bool AllClosed() const { return open_.empty(); }
  int writes = 0;

 private:
  test::MemoryRegistry& inner_;
  std::array<RowPlan, 5> plans_;
  std::size_t opens_ = 0;
  std::set<RegKey> open_;
};

Win32Error AnyStatus(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return kSuccess;
  constexpr std::array<Win32Error, 5> kUsual{kFileNotFound, kAccessDenied, test::kInvalidHandle,
                                             kMoreData, 1018 /* key marked for deletion */};
  return input.ConsumeBool() ? input.PickValueInArray(kUsual) : input.ConsumeIntegral<Win32Error>();
}

void StoreAnything(FuzzedDataProvider& input, test::MemoryRegistry& store, RegKey root) {
  if (!input.ConsumeBool()) return;  // no policy key under this root at all
  store.Put(root, kPolicyKeyPath, "Unrelated", {kRegSz, {'x', 0}});
  for (const PolicyRow& row : kPolicyTable) {
    if (!input.ConsumeBool()) continue;
    const std::uint32_t type =
        input.ConsumeBool() ? kRegDword : input.ConsumeIntegral<std::uint32_t>();
    const std::size_t size =
        input.ConsumeBool() ? 4 : input.ConsumeIntegralInRange<std::size_t>(0, 12);
    store.Put(root, kPolicyKeyPath, row.valueName, {type, input.ConsumeBytes<std::uint8_t>(size)});
  }
}

// What a load must show for one row.
CheckValue Expected(const test::MemoryRegistry& store, RegKey root, const PolicyRow& row,
                    const RowPlan& plan) {
  if (plan.open != kSuccess || plan.query != kSuccess) return kUnchecked;
  const auto value = store.Get(root, kPolicyKeyPath, row.valueName);
  if (!value || value->type != kRegDword || value->data.size() != 4) return kUnchecked;
  const auto& d = value->data;
  const auto number = static_cast<std::int32_t>(d[0] | d[1] << 8 | d[2] << 16 |
                                                static_cast<std::uint32_t>(d[3]) << 24);
  return CheckValueFromStored(number);
}

CheckValue AnyCheckValue(FuzzedDataProvider& input) {
  return static_cast<CheckValue>(input.ConsumeIntegralInRange(0, 2));
}

// Any state the window can be in: the master set twice, so that a greyed
// master may find the sub-options enabled or disabled.
void PutPanelInAnyState(FuzzedDataProvider& input, test::FakePanel& panel) {
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    panel.SubOption(i).SetValue(AnyCheckValue(input));
  panel.Option(OptionPanel::kScopeOption).SetValue(AnyCheckValue(input));
  panel.Option(OptionPanel::kMasterOption).SetValue(AnyCheckValue(input));
  panel.Option(OptionPanel::kMasterOption).SetValue(AnyCheckValue(input));
}

}  // namespace
}  // namespace polvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace polvane;
  FuzzedDataProvider input(data, size);
  const bool allUsers = input.ConsumeBool();
  test::MemoryRegistry store;
  StoreAnything(input, store, kCurrentUser);
  StoreAnything(input, store, kLocalMachine);
  std::array<RowPlan, 5> plans;
  for (RowPlan& plan : plans) {
    plan.open = AnyStatus(input);
    plan.query = AnyStatus(input);
    plan.close = AnyStatus(input);
    plan.junkHandle = input.ConsumeIntegral<RegKey>();
    plan.junkType = input.ConsumeIntegral<std::uint32_t>();
    plan.junkSize = input.ConsumeIntegral<std::uint32_t>();
    plan.junkData = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 8));
  }
  test::FakePanel panel;
  PutPanelInAnyState(input, panel);
  std::array<bool, 4> enabledBefore{};
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    enabledBefore[static_cast<std::size_t>(i)] = panel.SubOption(i).IsEnabled();
  const CheckValue scopeBefore = panel.Option(OptionPanel::kScopeOption).Value();

  HostileRegistry hostile(store, plans);
  { LoadPolicies(PolicyStore{hostile}, panel, allUsers); }

  const RegKey root = PolicyStore{store}.Root(allUsers);
  for (std::size_t i = 0; i < kPolicyTable.size(); ++i) {
    const CheckValue shown = BoxOf(panel, kPolicyTable[i]).Value();
    Require(shown == kUnchecked || shown == kChecked || shown == kGreyed);
    Require(shown == Expected(store, root, kPolicyTable[i], plans[i]));
  }
  const CheckValue master = panel.Option(OptionPanel::kMasterOption).Value();
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i) {
    const bool enabled = panel.SubOption(i).IsEnabled();
    if (master == kChecked) Require(!enabled);
    if (master == kUnchecked) Require(enabled);
    if (master == kGreyed) Require(enabled == enabledBefore[static_cast<std::size_t>(i)]);
  }
  Require(panel.Option(OptionPanel::kScopeOption).Value() == scopeBefore);
  Require(hostile.writes == 0);
  Require(hostile.AllClosed());
  return 0;
}
