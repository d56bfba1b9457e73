#pragma once
// Move-only owners of GDI and USER handles and of COM objects.
#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "platform/UniqueHandle.h"

namespace polvane {

// Named apart from <windowsx.h>'s DeleteFont macro.
inline BOOL WINAPI DeleteFontObject(HFONT font) { return DeleteObject(font); }

using UniqueFont = UniqueHandle<HFONT, DeleteFontObject>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
using UniqueCursor = UniqueHandle<HCURSOR, DestroyCursor>;

// Holds one reference to a COM object.
template <class Interface>
class UniqueCom {
 public:
  UniqueCom() = default;
  explicit UniqueCom(Interface* object) : object_(object) {}
  UniqueCom(UniqueCom&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  UniqueCom& operator=(UniqueCom&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  UniqueCom(const UniqueCom&) = delete;
  UniqueCom& operator=(const UniqueCom&) = delete;
  ~UniqueCom() { Reset(); }

  Interface* Get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset(Interface* object = nullptr) {
    if (object_) object_->Release();
    object_ = object;
  }

 private:
  Interface* object_ = nullptr;
};

}  // namespace polvane
