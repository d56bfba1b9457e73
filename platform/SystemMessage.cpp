#include "platform/SystemMessage.h"

#include <windows.h>

#include "platform/Text.h"
#include "rules/Ascii.h"
#include "rules/Decimal.h"

namespace polvane {

std::string SystemReason(long code) {
  wchar_t text[512]{};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(code), 0, text, 512, nullptr);
  std::string reason = Narrow(text, CP_UTF8);
  for (char& c : reason)
    if (c == '\r' || c == '\n') c = ' ';
  reason = Trim(reason, " ");
  return reason.empty() ? "Error " + Decimal(code) + "." : reason;
}

}  // namespace polvane
