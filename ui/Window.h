#pragma once
// A top-level window bound to its C++ object, and the set of the program's
// top-level windows: the program ends when the last of them is destroyed.
#include <windows.h>

#include "ui/Bound.h"
#include "ui/Layout.h"

namespace polvane {

class Window : public Bound<Window> {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  struct CreateArgs {
    HINSTANCE instance;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    Twips clientArea;  // laid out at the window's dpi
    HMENU menu;
    HICON icon;
  };

  HWND Hwnd() const { return hwnd_; }
  void Destroy();
  // The dpi the window is laid out at: its monitor's.
  int Dpi() const { return dpi_; }

  // The keyboard shortcuts the message loop applies to this window's input.
  virtual HACCEL Accelerators() const { return nullptr; }

  // Destroys every top-level window of the program, which ends it.
  static void DestroyAll();

 protected:
  Window() = default;

  // Creates the window hidden, centred on the primary work area. Returns
  // ERROR_SUCCESS, or why its class or the window could not be made.
  DWORD CreateCentred(const CreateArgs& args);
  // Creates the window hidden, to the right of anchor (or to its left where
  // the work area has no room), kept inside anchor's work area; returns as
  // CreateCentred does.
  DWORD CreateBeside(const CreateArgs& args, HWND anchor);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Places the controls and makes the fonts at Dpi(): once the window is
  // created, and again whenever it moves to a monitor of another dpi.
  virtual void LayOut() {}
  // Called once the window and all its children are gone, so that what they
  // drew with can be released.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  DWORD CreateAt(SIZE size, POINT origin);
  SIZE EstimatedFrameSize(int dpi) const;
  SIZE SizeAtDpi(int dpi) const;
  void FitClientArea(POINT origin);
  void MoveToDpi(int dpi, const RECT& suggested);
  void RememberOrRestoreFocus(bool activating);
  void Detach();

  HWND hwnd_ = nullptr;
  HWND lastFocus_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  CreateArgs args_{};
};

}  // namespace polvane
