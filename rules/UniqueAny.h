#pragma once
// One move-only owner for every kind of handle the program holds: a kernel
// object, a registry key, memory, a font, a COM object. What differs by kind
// is a small policy: the handle's type, the value that owns nothing, and how
// one is closed.
#include <type_traits>
#include <utility>

namespace polvane {

// A policy says:
//   using Handle = ...;
//   static Handle Empty();        // the value that owns nothing
//   void Close(Handle) const;     // never handed Empty(); keeps the
//                                 // thread's last error where there is one
// and may carry state (a registry key knows the registry that opened it).
template <class Policy>
class UniqueAny {
 public:
  using Handle = typename Policy::Handle;

  UniqueAny() = default;
  explicit UniqueAny(Handle handle, Policy policy = {}) : policy_(policy), handle_(handle) {}
  UniqueAny(UniqueAny&& other) noexcept : policy_(other.policy_), handle_(other.Release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      Reset();
      policy_ = other.policy_;
      handle_ = other.Release();
    }
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { Reset(); }

  Handle Get() const { return handle_; }
  Handle operator->() const requires std::is_class_v<std::remove_pointer_t<Handle>> {
    return handle_;
  }
  explicit operator bool() const { return handle_ != Policy::Empty(); }

  // Gives the handle up without closing it.
  Handle Release() { return std::exchange(handle_, Policy::Empty()); }
  void Reset(Handle handle = Policy::Empty()) {
    if (handle_ != Policy::Empty()) policy_.Close(handle_);
    handle_ = handle;
  }
  // Where a call that makes a handle puts it: what was held is closed first.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  [[no_unique_address]] Policy policy_{};
  Handle handle_ = Policy::Empty();
};

}  // namespace polvane
