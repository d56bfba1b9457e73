#include "platform/Accounts.h"

#include <sddl.h>

#include <vector>

#include "platform/Handles.h"
#include "platform/Text.h"

namespace polvane {
namespace {

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return {};
  const UniqueLocal owner(text);
  return text;
}

std::string TokenUserSid() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
  const UniqueKernelHandle token(opened);
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

Account SidAccount(const std::string& user) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidA(user.c_str(), &sid)) return {ERROR_INVALID_SID, {}};
  const UniqueLocal owner(sid);
  return {ERROR_SUCCESS, SidText(sid)};
}

Account NamedAccount(const std::string& user) {
  const std::wstring name = Widen(user, CP_UTF8);
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use{};
  LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
  if (sidSize == 0) return {GetLastError(), {}};
  std::vector<BYTE> sid(sidSize);
  std::wstring domain(domainSize, L'\0');
  if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                          &use))
    return {GetLastError(), {}};
  return {ERROR_SUCCESS, SidText(sid.data())};
}

}  // namespace

std::string SystemAccounts::OwnSid() { return TokenUserSid(); }

Account FindAccount(const std::string& user) {
  return LooksLikeSid(user) ? SidAccount(user) : NamedAccount(user);
}

std::wstring AccountName(const std::string& sidText) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidA(sidText.c_str(), &sid)) return Widen(sidText, CP_UTF8);
  const UniqueLocal owner(sid);
  wchar_t name[256]{}, domain[256]{};
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use{};
  const bool named = LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use);
  if (!named) return Widen(sidText, CP_UTF8);
  return *domain ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

}  // namespace polvane
