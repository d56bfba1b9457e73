#include "platform/SystemMessage.h"

#include <windows.h>

#include "rules/Decimal.h"

namespace polvane {

std::string SystemReason(long code) {
  char text[512]{};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  std::string reason(text);
  for (char& c : reason)
    if (c == '\r' || c == '\n') c = ' ';
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  return reason.empty() ? "Error " + Decimal(code) + "." : reason;
}

}  // namespace polvane
