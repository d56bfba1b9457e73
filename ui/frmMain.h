#pragma once
// The main window: the five policy check boxes in their frame, the scope
// option, Save and Exit, and the File and Help menus.
#include <windows.h>

#include <array>
#include <string>

#include "rules/Command.h"
#include "rules/OptionPanel.h"
#include "rules/PolicyStore.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
#include "ui/WindowServices.h"
#include "ui/Controls.h"
#include "platform/Handles.h"
#include "ui/frmAbout.h"
#include "ui/Window.h"

namespace polvane {

class frmMain final : public Window, public OptionPanel {
 public:
  frmMain(HINSTANCE instance, const Services& services)
      : instance_(instance),
        services_(services),
        about_(instance, services, [this] { return Hwnd(); }) {}
  ~frmMain() override;

  // Loads and shows the window as command asks, then fills it with the
  // current user's policies (those of the user /user names), or with every
  // user's under /allusers (ticking "All Users" as the user would), sets the
  // boxes /edit names, and applies the enabling rule. Returns 0, or, when
  // /user names a user whose policies cannot be reached or the window cannot
  // be made, says why in a box and returns that failure without showing the
  // window.
  int Start(const WindowCommand& command = {});
  // Creates the window and its controls without showing them. Returns
  // ERROR_SUCCESS, or why the window or one of its controls could not be
  // made.
  DWORD Load();
  void Show();

  CheckControl& Option(int index) override { return chkOption(index); }
  CheckControl& SubOption(int index) override { return chkSubOption(index); }

  CheckBox& chkOption(int index) { return chkOption_.at(static_cast<std::size_t>(index)); }
  CheckBox& chkSubOption(int index) { return chkSubOption_.at(static_cast<std::size_t>(index)); }
  HACCEL Accelerators() const override { return accelerators_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  DWORD CreateControls(int dpi);
  void LayOut() override;
  void AddMasterTooltip();
  void SetIcons(int dpi);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void chkOption_Click(int index);
  void SaveChanges();
  bool ConfirmChangesBehind(bool allUsers);
  void ShowSaveFailure(bool allUsers, Win32Error status);
  void RestartAsAdministrator();
  // The user whose policies the current user's scope shows: their hive,
  // kept open while the window shows it (none for HKEY_CURRENT_USER), their
  // SID, which a restart as administrator carries, and their name when they
  // are not the user Polvane runs as, for the title bar.
  void SetUser(OpenedKey hive, std::string sid, std::wstring otherName);
  // Fills the boxes from the scope that "All Users" chooses; says so when a
  // value could not be read.
  void LoadChosenScope();
  void EndProgram();

  HINSTANCE instance_;
  Services services_;
  PolicyStore store_{services_.registry};
  StoredPolicies loaded_{};  // what the boxes were filled from, for Save to compare
  UniqueFont font_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  HACCEL accelerators_ = nullptr;  // a resource: freed with the program
  GroupBox fraMain_;
  std::array<CheckBox, 2> chkOption_;
  std::array<CheckBox, 4> chkSubOption_;
  Button cmdSave_;
  Button cmdExit_;
  HWND tooltip_ = nullptr;
  OpenedKey userHive_;
  std::string userSid_;
  std::wstring otherUser_;
  frmAbout about_;  // destroyed before the main window's own handles
};

}  // namespace polvane
