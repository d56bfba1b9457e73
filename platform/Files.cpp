#include "platform/Files.h"

#include <aclapi.h>

#include "platform/LastError.h"
#include "platform/Stopping.h"
#include "platform/Text.h"
#include "rules/Decimal.h"
#include "rules/Paths.h"

namespace polvane {
namespace {

// CreateFileW's answer as an owner: empty when it failed, GetLastError()
// saying why.
UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flags) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file or folder to ask about it and its security, without reading it.
UniqueFile OpenToAsk(const std::wstring& path) {
  return OpenFile(path, FILE_READ_ATTRIBUTES | READ_CONTROL, kShareAll, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS);
}

// A folder or a device (NUL, COM1, a pipe) is no file to read or replace.
bool IsFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
         !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
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

// What the new file takes over from the one it replaces.
struct Kept {
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  UniqueLocal security;  // the old file's DACL, where there was one
  PACL dacl = nullptr;
  bool protectedDacl = false;
};

struct ReplacedFile {
  Win32Error status = kSuccess;
  std::wstring path;
  Kept kept;
};

Win32Error KeepFrom(HANDLE file, Kept& kept) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information)) return LastErrorOr(ERROR_GEN_FAILURE);
  constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (information.dwFileAttributes & kKept) kept.attributes = information.dwFileAttributes & kKept;
  const DWORD status = GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                       nullptr, &kept.dacl, nullptr, kept.security.Put());
  // A file system without security (FAT, some shares) has none to keep.
  if (status == ERROR_NOT_SUPPORTED || status == ERROR_INVALID_FUNCTION) return kSuccess;
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorControl(kept.security.Get(), &control, &revision)) return LastErrorOr(ERROR_GEN_FAILURE);
  kept.protectedDacl = control & SE_DACL_PROTECTED;
  return kSuccess;
}

// The file to replace when path is written, and what the new one keeps of
// it. Where path is a symbolic link, its target, so that the link keeps
// leading to the new content. The final name Windows gives is taken only
// where this process opens the very same file by it: a 32-bit process on
// 64-bit Windows reaches the 64-bit System32 as Sysnative, is answered
// "...\system32\..." and would be sent to SysWOW64 by that name. A link
// whose target cannot be named is refused rather than replaced by a file,
// and so is a folder or a device.
ReplacedFile FileToReplace(const std::wstring& path) {
  ReplacedFile replaced{kSuccess, path, {}};
  const UniqueFile file = OpenToAsk(path);
  if (!file) {
    // None yet, or one the write will say why it cannot reach; but a folder
    // this process may not open is a folder all the same.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && attributes & FILE_ATTRIBUTE_DIRECTORY)
      replaced.status = kNotAFile;
    return replaced;
  }
  if (!IsFile(file.Get())) return {kNotAFile, path, {}};
  if (std::wstring final = FinalName(file.Get()); !final.empty() && SameFile(file.Get(), final)) {
    replaced.path = std::move(final);
  } else {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && attributes & FILE_ATTRIBUTE_REPARSE_POINT)
      return {ERROR_CANT_RESOLVE_FILENAME, path, {}};
  }
  replaced.status = KeepFrom(file.Get(), replaced.kept);
  return replaced;
}

constexpr wchar_t kLeftoverMark[] = L".polvane-";

// A name beside path that no other run and no other call of this one uses:
// path.polvane-<process id>-<call><ending>.
std::wstring NameBeside(const std::wstring& path, const wchar_t* ending) {
  static unsigned calls = 0;
  const std::string unique = Decimal(GetCurrentProcessId()) + "-" + Decimal(++calls);
  return path + kLeftoverMark + Widen(unique, CP_ACP) + ending;
}

bool ProcessRuns(DWORD id) {
  if (id == GetCurrentProcessId()) return false;  // this run leaves nothing in flight
  const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;  // another's: may run
  return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

// What runs that ended half way left beside target: a new file not yet put
// in place goes; a backup that an earlier version had moved aside comes back
// where target is missing, and goes where it is not. What a running process
// has in hand is left to it.
void ClearLeftoversOf(const std::wstring& target) {
  const std::size_t folder = target.find_last_of(L"\\/") + 1;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((target + kLeftoverMark + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    const std::wstring leftover = target.substr(0, folder) + name;
    const std::size_t mark = target.size() - folder + std::size(kLeftoverMark) - 1;
    const bool isNew = name.ends_with(L".new"), isOld = name.ends_with(L".old");
    if (mark > name.size() || (!isNew && !isOld) ||
        ProcessRuns(wcstoul(name.c_str() + mark, nullptr, 10)))
      continue;
    // Whatever fails here is tried again by the next run; nothing is lost.
    if (isOld && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        MoveFileExW(leftover.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
      continue;
    DeleteFileW(leftover.c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Writes the whole new file under its own name, with what it keeps of the
// old one, and flushes it to the disk.
Win32Error WriteNew(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                    const Kept& kept) {
  const UniqueFile file = OpenFile(path, GENERIC_WRITE | WRITE_DAC, 0, CREATE_NEW, kept.attributes);
  if (!file) return LastErrorOr(ERROR_GEN_FAILURE);
  if (kept.dacl) {  // a null DACL, no security at all, is what a new file has there too
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION | (kept.protectedDacl ? PROTECTED_DACL_SECURITY_INFORMATION
                                                        : UNPROTECTED_DACL_SECURITY_INFORMATION);
    if (const DWORD status =
            SetSecurityInfo(file.Get(), SE_FILE_OBJECT, what, nullptr, nullptr, kept.dacl, nullptr))
      return static_cast<Win32Error>(status);
  }
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      !FlushFileBuffers(file.Get()))
    return LastErrorOr(ERROR_GEN_FAILURE);
  return written == bytes.size() ? kSuccess : ERROR_WRITE_FAULT;
}

}  // namespace

Win32Error WindowsFiles::Read(const std::string& path, std::vector<std::uint8_t>& bytes) {
  if (NamesADevice(path)) return kNotAFile;
  const std::wstring name = Widen(path, CP_UTF8);
  UniqueFile file =
      OpenFile(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file && IsMissing(LastErrorOr(ERROR_GEN_FAILURE))) {
    ClearLeftoversOf(name);  // a file an earlier version's run left aside comes back
    file = OpenFile(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  }
  if (!file) return LastErrorOr(ERROR_GEN_FAILURE);
  if (!IsFile(file.Get())) return kNotAFile;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastErrorOr(ERROR_GEN_FAILURE);
  if (size.QuadPart > kLargestFile) return kFileTooLarge;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (bytes.empty()) return kSuccess;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return LastErrorOr(ERROR_GEN_FAILURE);
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
      return LastErrorOr(ERROR_GEN_FAILURE);
  }
  return kSuccess;
}

// The new file takes the target's name in one rename, which Windows makes
// atomic on one volume: at every instant the name holds the whole old file or
// the whole new one, even where the process is killed.
Win32Error WindowsFiles::Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (NamesADevice(path)) return kNotAFile;
  const ReplacedFile replaced = FileToReplace(Widen(path, CP_UTF8));
  if (replaced.status != kSuccess) return replaced.status;
  const std::wstring& target = replaced.path;
  ClearLeftoversOf(target);
  const std::wstring temporary = NameBeside(target, L".new");
  Win32Error status = WriteNew(temporary, bytes, replaced.kept);
  if (status == kSuccess && !MoveFileExW(temporary.c_str(), target.c_str(),
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    status = LastErrorOr(ERROR_GEN_FAILURE);
  // Where this cannot delete it, the next run that writes target does.
  if (status != kSuccess) DeleteFileW(temporary.c_str());
  return status;
}

Win32Error WindowsFiles::Remove(const std::string& path) {
  if (DeleteFileW(Widen(path, CP_UTF8).c_str())) return kSuccess;
  const Win32Error status = LastErrorOr(ERROR_GEN_FAILURE);
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
    const Win32Error status = LastErrorOr(ERROR_GEN_FAILURE);
    if (status != ERROR_SHARING_VIOLATION || waited >= kLongestWaitMs) return status;
    if (StopAsked()) return kCancelled;
    Sleep(kStepMs);
  }
}

void WindowsFiles::Unlock(const std::string& path) {
  if (path == lockPath_) lock_.Reset();
}

}  // namespace polvane
