#include "ui/MessageBox.h"

#include "platform/Text.h"
#include "rules/Messages.h"

namespace polvane {

int ShowMessage(HWND owner, const std::string& text, UINT type) {
  return MessageBoxW(owner, Widen(text, CP_UTF8).c_str(), Widen(kProgramTitle, CP_UTF8).c_str(),
                     type);
}

}  // namespace polvane
