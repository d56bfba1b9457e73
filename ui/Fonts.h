#pragma once
// Fonts sized in points at a window's dpi.
#include <windows.h>

#include "platform/Handles.h"

namespace polvane {

struct FontSpec {
  const wchar_t* face;
  int hundredthsOfPoint;  // 8.25 pt is 825
  LONG weight = FW_NORMAL;
  bool underline = false;
};

inline UniqueFont CreateFontAt(const FontSpec& wanted, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(wanted.hundredthsOfPoint, dpi, 72 * 100);
  font.lfWeight = wanted.weight;
  font.lfUnderline = wanted.underline;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, wanted.face, LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&font));
}

// The layouts were made for the 8-point dialog font; "MS Shell Dlg" maps to it
// on every Windows (and to Tahoma under Wine), where the message font of
// newer systems is wider and would clip the captions.
inline constexpr FontSpec kDialogFont{L"MS Shell Dlg", 800};

}  // namespace polvane
