#include "ui/Pictures.h"

#include <olectl.h>

#include <cstring>

#include "ui/ComApartment.h"

namespace polvane {
namespace {

// A stream over a copy of the resource's bytes; the stream frees the copy.
UniqueCom<IStream> StreamOverCopy(const void* bytes, DWORD size) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return {};
  if (void* target = GlobalLock(memory.Get())) {
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory.Get());
  }
  UniqueCom<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Put()))) return {};
  memory.Release();  // the stream's now
  return stream;
}

}  // namespace

UniquePicture LoadGifResource(HINSTANCE instance, int id) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), L"GIF");
  if (!found) return {};
  const DWORD size = SizeofResource(instance, found);
  const void* bytes = LockResource(LoadResource(instance, found));
  if (!bytes || size == 0) return {};
  EnsureComApartment();
  const UniqueCom<IStream> stream = StreamOverCopy(bytes, size);
  if (!stream) return {};
  UniquePicture picture;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(picture.Put()))))
    return {};
  return picture;
}

}  // namespace polvane
