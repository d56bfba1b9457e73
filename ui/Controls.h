#pragma once
// Thin wrappers over the standard controls. Each wrapper is found again from
// its handle, so that the parent window hands a control's notifications to it.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "rules/CheckValue.h"
#include "seams/Win32Error.h"
#include "ui/Bound.h"

namespace polvane {

// A window's text, of any length.
std::wstring WindowText(HWND hwnd);

class Control : public Bound<Control> {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  HWND Hwnd() const { return hwnd_; }
  std::wstring Text() const;

  // The controls made in the top-level window root are gone with it: each
  // forgets its handle and whatever it was shown.
  static void ForgetControlsOf(HWND root);
  // Hands a WM_COMMAND from one of the program's controls to its wrapper;
  // false when it came from elsewhere (a menu, a shortcut, the dialog keys).
  static bool RouteCommand(WPARAM wParam, LPARAM lParam);
  // A notification (BN_CLICKED, STN_CLICKED, ...) the control sent to its parent.
  virtual void OnNotify(WORD code) { (void)code; }
  // Moves the control to rect, in its parent's client coordinates, and gives
  // it font unless that is null; the window's layout calls this at each dpi.
  void Place(const RECT& rect, HFONT font);
  // WM_DRAWITEM for an owner-drawn control.
  virtual void Draw(const DRAWITEMSTRUCT& item) { (void)item; }
  // The control is gone: forget its handle and whatever it was shown.
  virtual void OnDestroyed() { hwnd_ = nullptr; }

 protected:
  // Where a control is made: in parent, with id, at rect (in the parent's
  // client coordinates) and in font where they are given, so that it needs
  // no move after it is made.
  struct Placement {
    HWND parent;
    int id;
    RECT rect{};
    HFONT font = nullptr;
  };
  // Returns ERROR_SUCCESS, or why the control could not be made.
  DWORD CreateControl(const Placement& where, const wchar_t* className, const wchar_t* text,
                      DWORD style, DWORD exStyle = 0);

 private:
  HWND hwnd_ = nullptr;
  HWND root_ = nullptr;
};

class Button final : public Control {
 public:
  [[nodiscard]] DWORD Create(const Placement& where, const wchar_t* caption, bool isDefault);
  void OnNotify(WORD code) override;
  // The UAC shield, shown on a button whose action needs an administrator.
  void ShowShield(bool shown);

  std::function<void()> onClick;
};

// A three-state check box whose value the program sets; see CheckControl for
// the click rule.
class CheckBox final : public Control, public CheckControl {
 public:
  [[nodiscard]] DWORD Create(const Placement& where, const wchar_t* caption);
  void OnNotify(WORD code) override;
  bool IsEnabled() const override;
  void SetEnabled(bool enabled) override;

  std::function<void()> onClick;

 private:
  CheckValue StoredValue() const override;
  void StoreValue(CheckValue value) override;
  void RaiseClick() override {
    if (onClick) onClick();
  }
};

// A group box that can hold controls: it passes their notifications and
// colour requests on to its own parent, and Tab moves into it.
class GroupBox final : public Control {
 public:
  [[nodiscard]] DWORD Create(const Placement& where);
};

// A static text. A link label notifies its clicks (SS_NOTIFY) and behaves as
// a link for the keyboard and accessibility tools.
class Label final : public Control {
 public:
  [[nodiscard]] DWORD Create(const Placement& where, const std::wstring& text, bool isLink = false);
  void OnNotify(WORD code) override;
  // Makes the label taller where its text, wrapped at its width, needs more
  // lines than it has room for.
  void GrowToFitText();

  std::function<void()> onClick;
};

// A plain rectangle with a sunken edge that holds other controls; like
// GroupBox it passes their notifications on to its own parent. Its colour is
// the one the parent answers to WM_CTLCOLORSTATIC.
class Panel final : public Control {
 public:
  [[nodiscard]] DWORD Create(const Placement& where);
};

// An icon or a picture drawn to fill the control, on the background the
// parent answers to WM_CTLCOLORSTATIC. Given a link name, the image notifies
// its clicks and behaves as a link of that name.
class ImageBox final : public Control {
 public:
  [[nodiscard]] DWORD Create(const Placement& where, const wchar_t* linkName = nullptr);
  void SetIcon(HICON icon, int size);
  void SetPicture(IPicture* picture);
  // What a static showing it would answer to STM_GETIMAGE: the icon, or the
  // picture's bitmap; null for the other kind.
  HANDLE Image(WPARAM kind) const;
  void OnNotify(WORD code) override;
  void Draw(const DRAWITEMSTRUCT& item) override;
  void OnDestroyed() override;

  std::function<void()> onClick;

 private:
  HICON icon_ = nullptr;
  int iconSize_ = 0;
  IPicture* picture_ = nullptr;  // owned by the window that shows it, which
                                 // frees it and the icon once this is gone
};

}  // namespace polvane
