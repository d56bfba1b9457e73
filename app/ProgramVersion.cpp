#include "app/ProgramVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace polvane {
namespace {

std::string StringField(const std::vector<char>& record, const char* table, const char* name) {
  char path[96]{};
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%s\\%s", table, name);
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(record.data(), path, reinterpret_cast<void**>(&value), &length) || !value)
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
  char name[9]{};
  std::snprintf(name, sizeof name, "%04X%04X", first->language, first->codePage);
  return name;
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
  result.companyName = StringField(record, table.c_str(), "CompanyName");
  result.productName = StringField(record, table.c_str(), "ProductName");
  return result;
}

}  // namespace polvane
