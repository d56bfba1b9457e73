#include "tests/win/support/PolicyKeys.h"

#include <sddl.h>

#include <string>
#include <utility>

#include "platform/Accounts.h"
#include "platform/Handles.h"

namespace polvane::test {
namespace {

UniqueKey OpenKey(HKEY root, const char* path, REGSAM access) {
  HKEY key = nullptr;
  RegOpenKeyExA(root, path, 0, access, &key);
  return UniqueKey(key);
}

UniqueKey CreateKey(HKEY root, const char* path, REGSAM access, DWORD options = 0) {
  HKEY key = nullptr;
  RegCreateKeyExA(root, path, 0, nullptr, options, access, nullptr, &key, nullptr);
  return UniqueKey(key);
}

// The security descriptor an SDDL string describes; empty when it is wrong.
UniqueLocal Descriptor(const std::string& sddl) {
  UniqueLocal descriptor;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                       descriptor.Put(), nullptr);
  return descriptor;
}

}  // namespace

// Its owner may always do so, whatever the key's present security says.
void OpenPolicyKeyToEveryone(HKEY root) {
  const UniqueKey key = OpenKey(root, kPolicyPath, WRITE_DAC);
  const UniqueLocal everyone = Descriptor("D:(A;;KA;;;WD)");
  if (key && everyone) RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, everyone.Get());
}

void DeletePolicies() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    OpenPolicyKeyToEveryone(root);
    RegDeleteTreeA(root, "Software\\Policies\\Microsoft\\Messenger");
  }
}

void StorePolicy(HKEY root, const char* name, DWORD value) {
  const UniqueKey key = CreateKey(root, kPolicyPath, KEY_SET_VALUE);
  ASSERT_TRUE(key);
  RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
}

void DenyPolicyKey(HKEY root, bool readable) {
  StorePolicy(root, "DisableVideo", 1);
  const UniqueKey key = OpenKey(root, kPolicyPath, WRITE_DAC);
  ASSERT_TRUE(key);
  const UniqueLocal systemOnly =
      Descriptor(readable ? "D:P(A;;KA;;;SY)(A;;KR;;;WD)" : "D:P(A;;KA;;;SY)");
  ASSERT_TRUE(systemOnly);
  EXPECT_EQ(RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, systemOnly.Get()),
            ERROR_SUCCESS);
}

void MakePolicyKeyUncreatable() {
  DeletePolicies();
  ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Messenger",
                        KEY_ALL_ACCESS, REG_OPTION_VOLATILE));
}

std::optional<DWORD> StoredPolicy(HKEY root, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueA(root, kPolicyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

namespace {

constexpr const char* kSecuredKeys[] = {"Software\\Policies", "Software\\Policies\\Microsoft",
                                        "Software\\Policies\\Microsoft\\Messenger", kPolicyPath};
constexpr SECURITY_INFORMATION kOwnerAndDacl =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

std::vector<BYTE> DescriptorOf(HKEY root, const char* path) {
  const UniqueKey key = OpenKey(root, path, READ_CONTROL);
  DWORD size = 0;
  if (key) RegGetKeySecurity(key.Get(), kOwnerAndDacl, nullptr, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 ||
      RegGetKeySecurity(key.Get(), kOwnerAndDacl, descriptor.data(), &size) != ERROR_SUCCESS)
    descriptor.clear();
  return descriptor;
}

void SetDescriptor(HKEY root, const char* path, PSECURITY_DESCRIPTOR descriptor) {
  const UniqueKey key = CreateKey(root, path, WRITE_DAC | WRITE_OWNER | READ_CONTROL);
  ASSERT_TRUE(key) << path;
  EXPECT_EQ(RegSetKeySecurity(key.Get(), kOwnerAndDacl, descriptor), ERROR_SUCCESS) << path;
}

}  // namespace

WindowsPolicySecurity::WindowsPolicySecurity() {
  const std::string readers[] = {"(A;CI;KR;;;" + SystemAccounts().OwnSid() + ")(A;CI;KR;;;RC)",
                                 "(A;CI;KR;;;BU)"};
  const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  for (int i = 0; i < 2; ++i) {
    for (const char* path : kSecuredKeys)
      saved_.push_back({roots[i], path, DescriptorOf(roots[i], path)});
    const std::string sddl = "O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)" + readers[i];
    const UniqueLocal windows = Descriptor(sddl);
    if (!windows) {
      ADD_FAILURE() << sddl;
      continue;
    }
    for (const char* path : kSecuredKeys) SetDescriptor(roots[i], path, windows.Get());
  }
}

WindowsPolicySecurity::~WindowsPolicySecurity() {
  for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
    if (saved->descriptor.empty())
      RegDeleteTreeA(saved->root, saved->path);
    else
      SetDescriptor(saved->root, saved->path, saved->descriptor.data());
  }
}

}  // namespace polvane::test
