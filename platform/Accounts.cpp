#include "platform/Accounts.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "platform/Handles.h"
#include "platform/LastError.h"
#include "platform/Text.h"

namespace polvane {
namespace {

std::string SidText(PSID sid) {
  UniqueLocalOf<char> text;
  if (!ConvertSidToStringSidA(sid, text.Put())) return {};
  return text.Get();
}

std::string TokenUserSid() {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) return {};
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  std::string sid;
  if (size && GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
    sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
  return sid;
}

bool LooksLikeSid(const std::string& user) {
  return user.size() > 4 && (user[0] == 'S' || user[0] == 's') && user.compare(1, 3, "-1-") == 0;
}

// A group's policies are no one's: /user names a user.
bool IsGroup(SID_NAME_USE use) {
  return use == SidTypeGroup || use == SidTypeAlias || use == SidTypeWellKnownGroup;
}

// The account a SID names, as DOMAIN\name, and what it is; no name when the
// system cannot name it.
struct SidName {
  std::wstring name;
  SID_NAME_USE use{};
};
SidName NameOfSid(PSID sid) {
  wchar_t name[256]{}, domain[256]{};
  DWORD nameSize = 256, domainSize = 256;
  SidName named;
  if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &named.use))
    named.name = *domain ? std::wstring(domain) + L"\\" + name : std::wstring(name);
  return named;
}

Account SidAccount(const std::string& user) {
  UniqueLocal sid;
  if (!ConvertStringSidToSidA(user.c_str(), sid.Put())) return {ERROR_INVALID_SID, {}};
  // A SID the system cannot name may still be a signed-in user's.
  if (IsGroup(NameOfSid(sid.Get()).use)) return {ERROR_NO_SUCH_USER, {}};
  return {ERROR_SUCCESS, SidText(sid.Get())};
}

Account NamedAccount(const std::string& user) {
  const std::wstring name = Widen(user, CP_UTF8);
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use{};
  LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
  if (sidSize == 0) return {LastErrorOr(ERROR_NONE_MAPPED), {}};
  std::vector<BYTE> sid(sidSize);
  std::wstring domain(domainSize, L'\0');
  if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                          &use))
    return {LastErrorOr(ERROR_NONE_MAPPED), {}};
  if (IsGroup(use)) return {ERROR_NO_SUCH_USER, {}};
  return {ERROR_SUCCESS, SidText(sid.data())};
}

}  // namespace

std::string SystemAccounts::OwnSid() { return TokenUserSid(); }

Account SystemAccounts::Find(const std::string& user) {
  return LooksLikeSid(user) ? SidAccount(user) : NamedAccount(user);
}

std::wstring SystemAccounts::NameOf(const std::string& sidText) {
  UniqueLocal sid;
  if (!ConvertStringSidToSidA(sidText.c_str(), sid.Put())) return Widen(sidText, CP_UTF8);
  const SidName named = NameOfSid(sid.Get());
  return named.name.empty() ? Widen(sidText, CP_UTF8) : named.name;
}

}  // namespace polvane
