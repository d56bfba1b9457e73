#pragma once
// The Messenger policy keys as a test finds and leaves them: stored values,
// and the key security an administrator or Windows gives them.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace polvane::test {

inline constexpr char kPolicyPath[] = "Software\\Policies\\Microsoft\\Messenger\\Client";

// Gives the policy key a security descriptor that lets everyone in, as an
// administrator may loosen it; its owner may always do so.
void OpenPolicyKeyToEveryone(HKEY root);
// Removes the Messenger policy keys under both roots.
void DeletePolicies();

// A test that starts and ends with no Messenger policies stored.
class PolicyTest : public ::testing::Test {
 protected:
  void SetUp() override { DeletePolicies(); }
  void TearDown() override { DeletePolicies(); }
};
// Stores a REG_DWORD policy value directly, as another program would.
void StorePolicy(HKEY root, const char* name, DWORD value);
// Stores DisableVideo = 1 under root, then gives the policy key a security
// descriptor that lets only the system open it, as a hardened machine might;
// or, when readable, lets everyone read it and only the system change it.
void DenyPolicyKey(HKEY root, bool readable = false);
// Replaces the current user's Messenger policy key with a volatile one, under
// which the registry itself refuses to create the lasting policy key.
void MakePolicyKeyUncreatable();
// Reads a policy value directly; empty when missing or not a REG_DWORD.
std::optional<DWORD> StoredPolicy(HKEY root, const char* name);

// For as long as it lives, Software\Policies and the Messenger policy keys
// below it, made here as they are once any policy was applied, carry the
// security Windows gives them: SYSTEM and Administrators full control, and
// the user and RESTRICTED (in HKCU) or Users (in HKLM) read. Wine does not
// ask the parent when a key is made, so the keys must exist beforehand.
// Afterwards the keys that were there have their security back, and the
// others are gone.
class WindowsPolicySecurity {
 public:
  WindowsPolicySecurity();
  ~WindowsPolicySecurity();
  WindowsPolicySecurity(const WindowsPolicySecurity&) = delete;
  WindowsPolicySecurity& operator=(const WindowsPolicySecurity&) = delete;

 private:
  struct Saved {
    HKEY root;
    const char* path;
    std::vector<BYTE> descriptor;  // empty: the key was not there
  };
  std::vector<Saved> saved_;  // each key as it was, parents first
};

}  // namespace polvane::test
