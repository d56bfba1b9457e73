#include "tests/win/support/Geometry.h"

#include <gtest/gtest.h>

#include "tests/win/support/Finding.h"
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

}  // namespace polvane::test
