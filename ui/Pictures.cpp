#include "ui/Pictures.h"

#include <olectl.h>

#include <cstring>

#include "ui/ComApartment.h"
#include "platform/LateBound.h"

namespace polvane {
namespace {

// A stream over a copy of the resource's bytes; the stream frees the copy.
UniqueCom<IStream> StreamOverCopy(const void* bytes, DWORD size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return {};
  UniqueGlobal owner(memory);
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);
  }
  const auto createStream = late::CreateStreamOnHGlobal.Get();
  IStream* stream = nullptr;
  if (!createStream || FAILED(createStream(owner.Get(), TRUE, &stream))) return {};
  owner.Release();  // the stream's now
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
  const auto loadPicture = late::OleLoadPicture.Get();
  if (!stream || !loadPicture) return {};
  void* picture = nullptr;
  if (FAILED(loadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, &picture)))
    return {};
  return UniquePicture(static_cast<IPicture*>(picture));
}

}  // namespace polvane
