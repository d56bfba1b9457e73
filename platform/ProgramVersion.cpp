#include "platform/ProgramVersion.h"

#include <windows.h>
#include <winver.h>

#include <string>
#include <vector>

#include "platform/Text.h"
#include "rules/Decimal.h"

namespace polvane {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try a larger buffer
  }
}

namespace {

bool QueryValue(const std::vector<BYTE>& record, const wchar_t* path, void** value, UINT* length) {
  return VerQueryValueW(record.data(), path, value, length);
}

std::string StringField(const std::vector<BYTE>& record, const std::wstring& table,
                        const wchar_t* name) {
  const std::wstring path = L"\\StringFileInfo\\" + table + L"\\" + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!QueryValue(record, path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return {};
  return Narrow(value, CP_UTF8);
}

// The string table named by the record's first translation, "040904B0" when
// it names none.
std::wstring StringTableName(const std::vector<BYTE>& record) {
  struct Translation {
    WORD language, codePage;
  };
  Translation* first = nullptr;
  UINT length = 0;
  if (!QueryValue(record, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&first),
                  &length) ||
      length < sizeof(Translation))
    return L"040904B0";
  const std::string name = Hexadecimal(first->language, 4) + Hexadecimal(first->codePage, 4);
  return Widen(name, CP_UTF8);
}

}  // namespace

VersionRecord ReadProgramVersionRecord() {
  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> record(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, record.data())) return {};

  VersionRecord result;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (QueryValue(record, L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
      length >= sizeof *fixed) {
    result.major = HIWORD(fixed->dwFileVersionMS);
    result.minor = LOWORD(fixed->dwFileVersionMS);
    result.build = HIWORD(fixed->dwFileVersionLS);
    result.revision = LOWORD(fixed->dwFileVersionLS);
  }
  const std::wstring table = StringTableName(record);
  result.companyName = StringField(record, table, L"CompanyName");
  result.productName = StringField(record, table, L"ProductName");
  return result;
}

}  // namespace polvane
