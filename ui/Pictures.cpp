#include "ui/Pictures.h"

#include <olectl.h>

#include <cstring>

#include "platform/SystemDll.h"

namespace polvane {
namespace {

// A stream over a copy of the resource's bytes; the stream frees the copy.
UniqueCom<IStream> StreamOverCopy(const void* bytes, DWORD size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return {};
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);
  }
  static const auto createStream =
      SystemFunction<decltype(&CreateStreamOnHGlobal)>(L"ole32.dll", "CreateStreamOnHGlobal");
  IStream* stream = nullptr;
  if (!createStream || FAILED(createStream(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return {};
  }
  return UniqueCom<IStream>(stream);
}

}  // namespace

UniquePicture LoadGifResource(HINSTANCE instance, int id) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), L"GIF");
  if (!found) return {};
  const DWORD size = SizeofResource(instance, found);
  const void* bytes = LockResource(LoadResource(instance, found));
  if (!bytes || size == 0) return {};
  EnsureComApartment();
  UniqueCom<IStream> stream = StreamOverCopy(bytes, size);
  static const auto loadPicture =
      SystemFunction<decltype(&OleLoadPicture)>(L"oleaut32.dll", "OleLoadPicture");
  if (!stream || !loadPicture) return {};
  void* picture = nullptr;
  if (FAILED(loadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, &picture)))
    return {};
  return UniquePicture(static_cast<IPicture*>(picture));
}

}  // namespace polvane
