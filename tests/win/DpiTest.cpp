// Both windows at the dpi the prefix is set to (at_dpi.sh runs this at 120
// and 144 too), and again after a move to a monitor of another dpi.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/win/support/TestServices.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/Geometry.h"
#include "tests/win/support/Input.h"
#include "tests/win/support/PolicyKeys.h"
#include "ui/Dpi.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

int ExpectedDpi() {
  const char* chosen = std::getenv("POLVANE_EXPECT_DPI");
  return chosen ? std::atoi(chosen) : USER_DEFAULT_SCREEN_DPI;
}

LONG FontHeightOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// The width of the icon of that kind a window shows.
int IconSizeOf(HWND window, WPARAM kind) {
  ICONINFO info{};
  if (!GetIconInfo(ShownIcon(window, kind), &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

SIZE ClientSizeOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// Where a control lies in its parent's client area.
RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectSameRect(const RECT& actual, const RECT& expected, const char* what) {
  EXPECT_TRUE(EqualRect(&actual, &expected))
      << what << ": " << actual.left << "," << actual.top << "," << actual.right << ","
      << actual.bottom << " not " << expected.left << "," << expected.top << "," << expected.right
      << "," << expected.bottom;
}

class Dpi : public PolicyTest {
 protected:
  void SetUp() override {
    PolicyTest::SetUp();
    form.Start();
    SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
    PumpMessages();
  }
  void TearDown() override {
    Window::DestroyAll();
    TakeQuitRequest();
    PolicyTest::TearDown();
  }

  // What both windows show at dpi, against their layouts in twips.
  void ExpectLaidOutAt(int dpi) {
    const HWND main = form.Hwnd();
    const RECT mainArea = FromTwips(0, 0, 4470, 2580, dpi);
    EXPECT_EQ(ClientSizeOf(main).cx, mainArea.right);
    EXPECT_EQ(ClientSizeOf(main).cy, mainArea.bottom);
    ExpectSameRect(RectInParent(ControlOf(form.Hwnd(), IDC_FRA_MAIN)),
                   FromTwips(120, 120, 4215, 1860, dpi), "fraMain");
    ExpectSameRect(RectInParent(ControlOf(form.Hwnd(), IDOK)),
                   FromTwips(1605, 2100, 1260, 345, dpi), "cmdSave");
    ExpectSameRect(RectInParent(form.chkSubOption(3).Hwnd()), FromTwips(360, 1560, 3855, 195, dpi),
                   "chkSubOption(3)");
    // The master option sits in the frame, at its place in window
    // coordinates, wider only where its caption needs it.
    ExpectRectFittingItsCaption(form.chkOption(0).Hwnd(), FromTwips(240, 120, 1650, 195, dpi), dpi);
    EXPECT_EQ(FontHeightOf(form.chkOption(1).Hwnd()), -MulDiv(8, dpi, 72));
    EXPECT_EQ(FontHeightOf(TooltipOf(form.Hwnd())), -MulDiv(8, dpi, 72));
    EXPECT_EQ(IconSizeOf(form.Hwnd(), ICON_BIG), MulDiv(32, dpi, 96));
    EXPECT_EQ(IconSizeOf(form.Hwnd(), ICON_SMALL), MulDiv(16, dpi, 96));

    const RECT aboutArea = FromTwips(0, 0, 5235, 3495, dpi);
    EXPECT_EQ(ClientSizeOf(AboutWindow()).cx, aboutArea.right);
    EXPECT_EQ(ClientSizeOf(AboutWindow()).cy, aboutArea.bottom);
    ExpectSameRect(RectInParent(AboutControl(IDOK)), FromTwips(3850, 2040, 1260, 345, dpi),
                   "cmdOK");
    ExpectSameRect(RectInParent(AboutControl(IDC_PICTURE1)), FromTwips(11, 2505, 5207, 975, dpi),
                   "Picture1");
    ExpectSameRect(RectInParent(AboutControl(IDC_IMG_MSN)), FromTwips(120, 120, 3555, 750, dpi),
                   "imgMSN");
    ExpectSameRect(RectInParent(AboutControl(IDC_IMAGE1)), FromTwips(240, 240, 540, 540, dpi),
                   "Image1");
    EXPECT_EQ(FontHeightOf(AboutControl(IDC_LBL_POLVANE_WEB)), -MulDiv(825, dpi, 7200));
    EXPECT_EQ(FontHeightOf(AboutControl(IDC_LBL_VERSION)), -MulDiv(8, dpi, 72));
  }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

TEST_F(Dpi, ProcessIsPerMonitorAware) {
  using GetContext = HANDLE(WINAPI*)();
  using GetAwareness = int(WINAPI*)(HANDLE);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  const auto getAwareness = reinterpret_cast<GetAwareness>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(getContext && getAwareness);
  constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
  EXPECT_EQ(getAwareness(getContext()), kPerMonitorAware);
}

TEST_F(Dpi, BothWindowsAreLaidOutAtTheDpiTheUserChose) {
  const int dpi = ExpectedDpi();
  ASSERT_EQ(SystemDpi(), dpi) << "the prefix is not at the dpi this run was started for";
  EXPECT_EQ(form.Dpi(), dpi);
  EXPECT_EQ(DpiOfWindow(AboutWindow()), dpi);
  EXPECT_EQ(DpiOfWindow(form.Hwnd()), dpi);
  ExpectLaidOutAt(dpi);
}

// The pixels of an icon's colour image, as 32-bit rows.
std::vector<DWORD> PixelsOf(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;  // top-down
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

// The application icon's own image of exactly size pixels, made as it is
// stored; null when the icon has no image of that size.
UniqueIcon StoredImageOfSize(int size) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const auto bytesOf = [module](int id, const wchar_t* type, DWORD* length) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    *length = found ? SizeofResource(module, found) : 0;
    return found ? static_cast<BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  };
  DWORD length = 0;
  BYTE* group = bytesOf(IDI_APPLICATION_ICON, MAKEINTRESOURCEW(14), &length);  // RT_GROUP_ICON
  const int id = LookupIconIdFromDirectoryEx(group, TRUE, size, size, LR_DEFAULTCOLOR);
  BYTE* image = bytesOf(id, MAKEINTRESOURCEW(3), &length);  // RT_ICON
  if (!image) return {};
  UniqueIcon icon(
      CreateIconFromResourceEx(image, length, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR));
  ICONINFO info{};
  BITMAP bitmap{};
  if (icon && GetIconInfo(icon.Get(), &info)) {
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  return bitmap.bmWidth == size ? std::move(icon) : UniqueIcon();
}

// Sharp at every scale: the caption's, the taskbar's and the About window's
// icons are the images drawn for their size, not another size stretched.
TEST_F(Dpi, EveryIconShownIsTheImageDrawnForItsSize) {
  const int dpi = ExpectedDpi();
  const std::pair<HICON, int> shown[] = {
      {ShownIcon(form.Hwnd(), ICON_BIG), MulDiv(32, dpi, 96)},
      {ShownIcon(form.Hwnd(), ICON_SMALL), MulDiv(16, dpi, 96)},
      {static_cast<HICON>(ImageOf(AboutControl(IDC_IMAGE1), IMAGE_ICON)), MulDiv(32, dpi, 96)}};
  for (const auto& [icon, size] : shown) {
    const UniqueIcon stored = StoredImageOfSize(size);
    ASSERT_TRUE(stored) << "no image of " << size << " pixels";
    const std::vector<DWORD> pixels = PixelsOf(stored.Get());
    ASSERT_NE(std::count(pixels.begin(), pixels.end(), 0u), std::ssize(pixels)) << "blank";
    EXPECT_EQ(PixelsOf(icon), pixels) << size;
  }
}

// Moves window to dpi as Windows does: it asks the window for its size
// there, suggests a rectangle of that size (offset, as on another monitor),
// and sends WM_DPICHANGED. The window must take the rectangle as it is.
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

void MoveToMonitorOfDpi(HWND window, int dpi, int offset) {
  SIZE size{};
  ASSERT_TRUE(SendMessageW(window, kGetDpiScaledSize, static_cast<WPARAM>(dpi),
                           reinterpret_cast<LPARAM>(&size)));
  RECT suggested{};
  GetWindowRect(window, &suggested);
  suggested = {suggested.left + offset, suggested.top + offset, suggested.left + offset + size.cx,
               suggested.top + offset + size.cy};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT placed{};
  GetWindowRect(window, &placed);
  ExpectSameRect(placed, suggested, "the window");
}

// Per-monitor v1 (Windows 8.1 to 10 1607, and Wine) is asked nothing: the
// suggested rectangle is the whole window scaled by the ratio of the dpis,
// frame and all. The client area must still come out exact.
TEST_F(Dpi, UnderPerMonitorV1TheClientAreaIsFittedToTheSuggestedPlace) {
  const int before = form.Dpi();
  int dpiNow = before;  // both windows' dpi
  for (const int after : {before * 2, before}) {
    for (const HWND window : {form.Hwnd(), AboutWindow()}) {
      RECT scaled{};
      GetWindowRect(window, &scaled);
      scaled = {scaled.left + 20, scaled.top + 20,
                scaled.left + 20 + MulDiv(scaled.right - scaled.left, after, dpiNow),
                scaled.top + 20 + MulDiv(scaled.bottom - scaled.top, after, dpiNow)};
      SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(after, after),
                   reinterpret_cast<LPARAM>(&scaled));
      RECT placed{};
      GetWindowRect(window, &placed);
      EXPECT_EQ(placed.left, scaled.left);
      EXPECT_EQ(placed.top, scaled.top);
    }
    ExpectLaidOutAt(after);
    dpiNow = after;
  }
}

TEST_F(Dpi, MovingToAMonitorOfAnotherDpiLaysBothWindowsOutAgain) {
  const int before = form.Dpi();
  const int after = before == 144 ? 192 : 144;
  for (const HWND window : {form.Hwnd(), AboutWindow()}) MoveToMonitorOfDpi(window, after, 10);
  ExpectLaidOutAt(after);

  for (const HWND window : {form.Hwnd(), AboutWindow()}) MoveToMonitorOfDpi(window, before, -10);
  ExpectLaidOutAt(before);
}

}  // namespace
}  // namespace polvane::test
