// Writes a Registry.pol of RECORDS records for the bench: a hundred values
// to each of other products' keys, as a large managed machine's file holds,
// then one of the five policies:
//   big_pol.exe RECORDS FILE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Handles.h"
#include "rules/PolicyTable.h"
#include "rules/RegistryPol.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: big_pol RECORDS FILE\n");
    return 2;
  }
  const long records = std::atol(argv[1]);
  polvane::Bytes pol = polvane::EmptyPol();
  const polvane::Bytes one{1, 0, 0, 0};
  for (long i = 0; i + 1 < records; ++i) {
    const std::string key = "Software\\Policies\\Bench\\Product" + std::to_string(i / 100);
    const polvane::Bytes record =
        polvane::PolRecordBytes(key, "Setting" + std::to_string(i % 100), 4, one);
    pol.insert(pol.end(), record.begin(), record.end());
  }
  const polvane::Bytes ours =
      polvane::PolRecordBytes(polvane::kPolicyKeyPath, "DisableVideo", 4, one);
  pol.insert(pol.end(), ours.begin(), ours.end());
  const polvane::UniqueFile file(
      CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (!file ||
      !WriteFile(file.Get(), pol.data(), static_cast<DWORD>(pol.size()), &written, nullptr) ||
      written != pol.size())
    return 1;
  std::printf("%lu\n", static_cast<unsigned long>(pol.size()));
  return 0;
}
