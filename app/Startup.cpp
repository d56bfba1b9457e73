#include "app/Startup.h"

#include "app/mdlMain.h"
#include "ui/frmMain.h"

namespace polvane {

void Main(frmMain& form) {
  form.Load();
  form.Show();
  LoadPolicies(form, false);
  UpdateSubOptions(form);
}

}  // namespace polvane
