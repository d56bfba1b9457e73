#include "platform/ProgramVersion.h"

#include <windows.h>

#include <vector>

#include "rules/Decimal.h"

namespace polvane {
namespace {

std::string StringField(const std::vector<char>& record, const std::string& table,
                        const char* name) {
  const std::string path = "\\StringFileInfo\\" + table + "\\" + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
      !value)
    return {};
  return std::string(value);
}

// The string table named by the record's first translation, "040904B0" when
// it names none.
std::string StringTableName(const std::vector<char>& record) {
  struct Translation {
    WORD language, codePage;
  };
  Translation* first = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&first),
                      &length) ||
      length < sizeof(Translation))
    return "040904B0";
  return Hexadecimal(first->language, 4) + Hexadecimal(first->codePage, 4);
}

}  // namespace

VersionRecord ReadProgramVersionRecord() {
  char path[MAX_PATH]{};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return {};
  std::vector<char> record(size);
  if (!GetFileVersionInfoA(path, 0, size, record.data())) return {};

  VersionRecord result;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
      length >= sizeof *fixed) {
    result.major = HIWORD(fixed->dwFileVersionMS);
    result.minor = LOWORD(fixed->dwFileVersionMS);
    result.build = HIWORD(fixed->dwFileVersionLS);
    result.revision = LOWORD(fixed->dwFileVersionLS);
  }
  const std::string table = StringTableName(record);
  result.companyName = StringField(record, table, "CompanyName");
  result.productName = StringField(record, table, "ProductName");
  return result;
}

}  // namespace polvane
