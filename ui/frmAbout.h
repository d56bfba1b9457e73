#pragma once
// The About window: the program's name, maker, version and description, the
// Messenger banner and the home page link. It has no owner and does not block
// the main window.
#include <windows.h>

#include <functional>
#include <utility>

#include "ui/WindowServices.h"
#include "ui/Controls.h"
#include "platform/Handles.h"
#include "ui/Pictures.h"
#include "ui/Window.h"

namespace polvane {

struct AboutTexts;

class frmAbout final : public Window {
 public:
  // linkOwner gives the window that owns what the shell shows for a link:
  // the main window while it exists, null after; it must not create one.
  frmAbout(HINSTANCE instance, const Services& services, std::function<HWND()> linkOwner)
      : instance_(instance), services_(services), linkOwner_(std::move(linkOwner)) {}
  ~frmAbout() override;

  // Creates the window beside anchor unless it is open, then shows it and
  // brings it to the front.
  void Open(HWND anchor);

  // The program's shortcuts (Exit, About) work here too: the window hands
  // their commands on.
  void SetShortcuts(HACCEL accelerators, std::function<void(WORD command)> onShortcut) {
    accelerators_ = accelerators;
    onShortcut_ = std::move(onShortcut);
  }
  HACCEL Accelerators() const override { return accelerators_; }

 private:
  void Load(HWND anchor);
  DWORD CreateControls(const AboutTexts& texts);
  void LayOut() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT ColourStatic(HDC dc, HWND control);
  bool ShowLinkCursor(HWND over);
  void imgMSN_Click();
  void lblPolvaneWeb_Click();

  HINSTANCE instance_;
  Services services_;
  std::function<HWND()> linkOwner_;
  HACCEL accelerators_ = nullptr;
  std::function<void(WORD)> onShortcut_;
  UniqueFont font_;
  UniqueFont titleFont_;
  UniqueFont linkFont_;
  UniqueIcon icon_;
  UniqueCursor handCursor_;
  UniquePicture banner_;
  Button cmdOK_;
  Label lblDescription_;
  Label lblTitle_;
  Label lblVersion_;
  Panel picture1_;
  ImageBox imgMSN_;
  Label lblPolvaneWeb_;
  ImageBox image1_;
};

}  // namespace polvane
