#include "tests/win/support/Geometry.h"

#include <gtest/gtest.h>

#include "tests/win/support/Finding.h"
#include "platform/Text.h"
#include "ui/Dpi.h"

namespace polvane::test {

RECT ClientRectOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetAncestor(child, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT FromTwips(int left, int top, int width, int height, int dpi) {
  if (dpi == 0) dpi = SystemDpi();
  return {MulDiv(left, dpi, 1440), MulDiv(top, dpi, 1440), MulDiv(left + width, dpi, 1440),
          MulDiv(top + height, dpi, 1440)};
}

void ExpectRect(HWND hwnd, const RECT& expected) {
  const RECT actual = ClientRectOf(hwnd);
  EXPECT_EQ(actual.left, expected.left) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.top, expected.top) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.right, expected.right) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.bottom, expected.bottom) << TextOf(hwnd).c_str();
}

int CaptionNeeds(HWND control, int dpi) {
  const std::wstring caption = TextOf(control);
  HDC dc = GetDC(control);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  const bool box =
      type == BS_3STATE || type == BS_AUTO3STATE || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
  if (!box) return text.cx;
  // The box draws its caption 4 pixels (at 96 dpi) after its mark.
  return text.cx + SystemMetricAt(SM_CXMENUCHECK, dpi) + MulDiv(4, dpi, 96);
}

void ExpectRectFittingItsCaption(HWND hwnd, const RECT& laidOut, int dpi) {
  const RECT actual = ClientRectOf(hwnd);
  const std::string what = Narrow(TextOf(hwnd).c_str(), CP_UTF8);
  EXPECT_EQ(actual.left, laidOut.left) << what;
  EXPECT_EQ(actual.top, laidOut.top) << what;
  EXPECT_EQ(actual.bottom, laidOut.bottom) << what;
  EXPECT_GE(actual.right - actual.left, CaptionNeeds(hwnd, dpi)) << what << " cuts its caption";
  if (laidOut.right - laidOut.left >= CaptionNeeds(hwnd, dpi))
    EXPECT_EQ(actual.right, laidOut.right) << what << " moved, though its caption fits";
  else
    EXPECT_GT(actual.right, laidOut.right) << what;
}

}  // namespace polvane::test
