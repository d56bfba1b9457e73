#include "program/Startup.h"

#include "platform/Shell.h"
#include "rules/mdlMain.h"
#include "ui/frmMain.h"

namespace polvane {

void Main(frmMain& form) {
  // Links opened after the main window has closed get no owner; asking for
  // the handle never creates the window again.
  SetShellOwner([&form] { return form.Hwnd(); });
  form.Load();
  form.Show();
  LoadPolicies(form, false);
  UpdateSubOptions(form);
}

}  // namespace polvane
