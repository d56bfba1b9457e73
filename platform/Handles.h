#pragma once
// The owners of Windows' handles, one name per kind, all of one template.
#include <windows.h>
#include <unknwn.h>

#include "rules/UniqueAny.h"

namespace polvane {

// CreateFileW says "none" with INVALID_HANDLE_VALUE, where most calls say
// null.
template <auto Free>
struct InvalidHandlePolicy {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { Free(handle); }
};

template <class Interface>
struct ComPolicy {
  using Handle = Interface*;
  static constexpr Handle Empty() { return nullptr; }
  static void Close(Handle object) { object->Release(); }
};

// Named apart from <windowsx.h>'s DeleteFont macro.
inline BOOL WINAPI DeleteFontObject(HFONT font) { return DeleteObject(font); }

using UniqueFile = UniqueAny<InvalidHandlePolicy<CloseHandle>>;               // CreateFileW's
using UniqueKernelHandle = UniqueAny<NullHandlePolicy<HANDLE, CloseHandle>>;  // token, process
using UniqueLocal = UniqueAny<NullHandlePolicy<HLOCAL, LocalFree>>;
using UniqueGlobal = UniqueAny<NullHandlePolicy<HGLOBAL, GlobalFree>>;
using UniqueSid = UniqueAny<NullHandlePolicy<PSID, FreeSid>>;  // AllocateAndInitializeSid's
using UniqueKey = UniqueAny<NullHandlePolicy<HKEY, RegCloseKey>>;
using UniqueService = UniqueAny<NullHandlePolicy<SC_HANDLE, CloseServiceHandle>>;
using UniqueFont = UniqueAny<NullHandlePolicy<HFONT, DeleteFontObject>>;
using UniqueIcon = UniqueAny<NullHandlePolicy<HICON, DestroyIcon>>;
using UniqueCursor = UniqueAny<NullHandlePolicy<HCURSOR, DestroyCursor>>;
template <class Interface>
using UniqueCom = UniqueAny<ComPolicy<Interface>>;  // holds one reference

}  // namespace polvane
