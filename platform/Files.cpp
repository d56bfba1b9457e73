#include "platform/Files.h"

#include "platform/LastError.h"
#include "platform/Text.h"
#include "rules/Decimal.h"
#include "rules/PathRoot.h"

namespace polvane {
namespace {

Win32Error LastError() { return LastErrorOr(ERROR_GEN_FAILURE); }

// CreateFileW's answer as an owner: empty when it failed, GetLastError()
// saying why.
UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flags) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file or folder to ask about it, without reading it.
UniqueFile OpenToAsk(const std::wstring& path) {
  return OpenFile(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
}

std::wstring FinalName(HANDLE file) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  std::wstring final(GetFinalPathNameByHandleW(file, nullptr, 0, kFlags), L'\0');
  const DWORD length =
      GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), kFlags);
  if (length == 0 || length >= final.size()) return {};
  final.resize(length);
  return final;
}

bool SameFile(HANDLE file, const std::wstring& path) {
  const UniqueFile other = OpenToAsk(path);
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return other && GetFileInformationByHandle(file, &a) &&
         GetFileInformationByHandle(other.Get(), &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

struct ReplacedFile {
  Win32Error status;
  std::wstring path;
};

// The file to replace when path is written: where path is a symbolic link,
// its target, so that the link keeps leading to the new content. The final
// name Windows gives is taken only where this process opens the very same
// file by it: a 32-bit process on 64-bit Windows reaches the 64-bit System32
// as Sysnative, is answered "...\system32\..." and would be sent to SysWOW64
// by that name. A link whose target cannot be named is refused rather than
// replaced by a file.
ReplacedFile FileToReplace(const std::wstring& path) {
  const UniqueFile file = OpenToAsk(path);
  if (!file) return {kSuccess, path};  // none yet, or one the write says why it cannot reach
  if (std::wstring final = FinalName(file.Get()); !final.empty() && SameFile(file.Get(), final))
    return {kSuccess, std::move(final)};
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const bool link =
      attributes != INVALID_FILE_ATTRIBUTES && attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  return {link ? ERROR_CANT_RESOLVE_FILENAME : kSuccess, path};
}

// A name beside path that no other run and no other call of this one uses.
std::wstring NameBeside(const std::wstring& path, const wchar_t* ending) {
  static unsigned calls = 0;
  const std::string unique = Decimal(GetCurrentProcessId()) + "-" + Decimal(++calls);
  return path + L".polvane-" + Widen(unique, CP_ACP) + ending;
}

Win32Error WriteNew(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  const UniqueFile file = OpenFile(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  if (!file) return LastError();
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      !FlushFileBuffers(file.Get()))
    return LastError();
  return written == bytes.size() ? kSuccess : ERROR_WRITE_FAULT;
}

// Puts temporary in target's place. With a backup, ReplaceFileW leaves both
// files under their own names when it cannot rename the new one, and where
// it has moved the old one aside, it is moved back.
Win32Error PutInPlace(const std::wstring& temporary, const std::wstring& target) {
  const std::wstring backup = NameBeside(target, L".old");
  if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
    DeleteFileW(backup.c_str());
    return kSuccess;
  }
  const Win32Error status = LastError();
  if (status == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
      !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
    return LastError();  // the old file stays whole under the backup's name
  // With no old file there is nothing to keep: the new one takes its name.
  if (IsMissing(status) && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? kSuccess
                                                                                  : LastError();
  return status;
}

}  // namespace

Win32Error WindowsFiles::Read(const std::string& path, std::vector<std::uint8_t>& bytes) {
  const UniqueFile file = OpenFile(Widen(path, CP_UTF8), GENERIC_READ, FILE_SHARE_READ,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastError();
  if (size.QuadPart > kLargestFile) return kFileTooLarge;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (bytes.empty()) return kSuccess;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return LastError();
  return read == bytes.size() ? kSuccess : ERROR_HANDLE_EOF;  // shortened while being read
}

Win32Error WindowsFiles::MakeFolderOf(const std::string& path) {
  const std::wstring file = Widen(path, CP_UTF8);
  // The root (a drive, a share, \\?\C:\) is there or not: only the folders
  // after it are made.
  const std::size_t root = Widen(path.substr(0, PathRootLength(path)), CP_UTF8).size();
  for (std::size_t slash = file.find_first_of(L"\\/", root); slash != std::wstring::npos;
       slash = file.find_first_of(L"\\/", slash + 1)) {
    const std::wstring folder = file.substr(0, slash);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return LastError();
  }
  return kSuccess;
}

Win32Error WindowsFiles::Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const ReplacedFile replaced = FileToReplace(Widen(path, CP_UTF8));
  if (replaced.status != kSuccess) return replaced.status;
  const std::wstring& target = replaced.path;
  const std::wstring temporary = NameBeside(target, L".new");
  Win32Error status = WriteNew(temporary, bytes);
  if (status == kSuccess) status = PutInPlace(temporary, target);
  if (status != kSuccess) DeleteFileW(temporary.c_str());
  return status;
}

Win32Error WindowsFiles::Remove(const std::string& path) {
  if (DeleteFileW(Widen(path, CP_UTF8).c_str())) return kSuccess;
  const Win32Error status = LastError();
  return IsMissing(status) ? kSuccess : status;
}

Win32Error WindowsFiles::Lock(const std::string& path) {
  if (lock_) return ERROR_LOCK_VIOLATION;
  constexpr DWORD kStepMs = 50, kLongestWaitMs = 10000;
  const std::wstring file = Widen(path, CP_UTF8);
  for (DWORD waited = 0;; waited += kStepMs) {
    UniqueFile lock = OpenFile(file, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE);
    if (lock) {
      lock_ = std::move(lock);
      lockPath_ = path;
      return kSuccess;
    }
    const Win32Error status = LastError();
    if (status != ERROR_SHARING_VIOLATION || waited >= kLongestWaitMs) return status;
    Sleep(kStepMs);
  }
}

void WindowsFiles::Unlock(const std::string& path) {
  if (path == lockPath_) lock_.Reset();
}

}  // namespace polvane
