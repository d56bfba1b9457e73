#pragma once
// Windows and controls are found from their handles in one way: each object
// is listed while its window exists, so that a handle the program did not
// bind (a message box, another program's window) finds nothing. A list,
// because every message to a subclassed control would otherwise pay for the
// lookup of its subclass.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace polvane {

template <class T>
class Bound {
 public:
  // The object whose window is hwnd, or null.
  static T* FromHwnd(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (T* object : Objects())
      if (object->Hwnd() == hwnd) return object;
    return nullptr;
  }

 protected:
  Bound() = default;
  ~Bound() { Unbind(); }

  static std::vector<T*>& Objects() {
    static std::vector<T*> objects;
    return objects;
  }
  void Bind() {
    Unbind();
    Objects().push_back(static_cast<T*>(this));
  }
  void Unbind() { std::erase(Objects(), static_cast<T*>(this)); }
};

}  // namespace polvane
