#include "platform/Files.h"

#include <windows.h>

#include "platform/Text.h"

namespace polvane {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

RegStatus LastError() { return static_cast<RegStatus>(GetLastError()); }

}  // namespace

RegStatus WindowsFiles::Read(const std::string& path, std::vector<std::uint8_t>& bytes) {
  const FileHandle file(CreateFileW(Widen(path, CP_UTF8).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastError();
  if (size.QuadPart > 64 * 1024 * 1024) return ERROR_FILE_TOO_LARGE;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return LastError() ? LastError() : ERROR_READ_FAULT;
  return kRegSuccess;
}

RegStatus WindowsFiles::MakeFolderOf(const std::string& path) {
  const std::wstring file = Widen(path, CP_UTF8);
  for (std::size_t slash = file.find_first_of(L"\\/", 3); slash != std::wstring::npos;
       slash = file.find_first_of(L"\\/", slash + 1)) {
    const std::wstring folder = file.substr(0, slash);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return LastError();
  }
  return kRegSuccess;
}

RegStatus WindowsFiles::Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::wstring target = Widen(path, CP_UTF8);
  const std::wstring temporary = target + L".polvane-new";
  {
    const FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    DWORD written = 0;
    const bool whole =
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.Get());
    if (!whole) {
      const RegStatus status = LastError() ? LastError() : ERROR_WRITE_FAULT;
      DeleteFileW(temporary.c_str());
      return status;
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const RegStatus status = LastError();
    DeleteFileW(temporary.c_str());
    return status;
  }
  return kRegSuccess;
}

}  // namespace polvane
