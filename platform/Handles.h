#pragma once
// The owners of Windows' handles, one name per kind, all of one template.
// Closing one keeps the thread's last error: an owner that goes out of scope
// between a failed call and the GetLastError that asks why does not change
// the answer.
#include <windows.h>
#include <unknwn.h>

#include "rules/UniqueAny.h"

namespace polvane {

// Null owns nothing, and Free closes the rest.
template <class H, auto Free>
struct HandlePolicy {
  using Handle = H;
  static Handle Empty() { return Handle{}; }
  static void Close(Handle handle) {
    const DWORD error = GetLastError();
    Free(handle);
    SetLastError(error);
  }
};

// CreateFileW says "none" with INVALID_HANDLE_VALUE, where most calls say
// null.
template <auto Free>
struct FileHandlePolicy : HandlePolicy<HANDLE, Free> {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
};

template <class Interface>
void ReleaseObject(Interface* object) {
  object->Release();
}

// Memory that a call allocated with LocalAlloc for its caller to free.
template <class T>
void FreeLocal(T* memory) {
  LocalFree(memory);
}

// Named apart from <windowsx.h>'s DeleteFont macro.
inline BOOL WINAPI DeleteFontObject(HFONT font) { return DeleteObject(font); }

using UniqueFile = UniqueAny<FileHandlePolicy<CloseHandle>>;              // CreateFileW's
using UniqueKernelHandle = UniqueAny<HandlePolicy<HANDLE, CloseHandle>>;  // token, process
template <class T>
using UniqueLocalOf = UniqueAny<HandlePolicy<T*, FreeLocal<T>>>;
using UniqueLocal = UniqueLocalOf<void>;
using UniqueGlobal = UniqueAny<HandlePolicy<HGLOBAL, GlobalFree>>;
using UniqueSid = UniqueAny<HandlePolicy<PSID, FreeSid>>;  // AllocateAndInitializeSid's
using UniqueKey = UniqueAny<HandlePolicy<HKEY, RegCloseKey>>;
using UniqueService = UniqueAny<HandlePolicy<SC_HANDLE, CloseServiceHandle>>;
using UniqueFont = UniqueAny<HandlePolicy<HFONT, DeleteFontObject>>;
using UniqueIcon = UniqueAny<HandlePolicy<HICON, DestroyIcon>>;
using UniqueCursor = UniqueAny<HandlePolicy<HCURSOR, DestroyCursor>>;
template <class Interface>
using UniqueCom = UniqueAny<HandlePolicy<Interface*, ReleaseObject<Interface>>>;  // one reference

}  // namespace polvane
