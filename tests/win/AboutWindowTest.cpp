// The About window, opened from the real main window through its menu command
// and shortcut, with real controls, messages and the real shell.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rules/Links.h"
#include "resources/resource.h"
#include "tests/win/support/TestServices.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/Geometry.h"
#include "tests/win/support/Input.h"
#include "tests/win/support/PolicyKeys.h"
#include "tests/win/support/Recorders.h"
#include "ui/Dpi.h"
#include "ui/Layout.h"
#include "ui/Pictures.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

constexpr wchar_t kDescription[] =
    L"Polvane lets you alter hidden settings for MSN/Windows Messenger, suitable for "
    L"network/system administrators";

BOOL CALLBACK CollectAboutWindow(HWND hwnd, LPARAM lParam) {
  wchar_t className[64]{};
  GetClassNameW(hwnd, className, 64);
  if (lstrcmpW(className, L"Polvane.frmAbout") == 0)
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

// Every About window of this thread, shown or not.
std::vector<HWND> AboutWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectAboutWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

class About : public PolicyTest {
 protected:
  void SetUp() override {
    PolicyTest::SetUp();
    form.Start();
    SetForegroundWindow(form.Hwnd());
    PumpMessages();
  }
  void TearDown() override {
    Window::DestroyAll();
    TakeQuitRequest();
    PolicyTest::TearDown();
  }

  void ChooseHelpAbout() {
    SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
    PumpMessages();
  }

  void ExpectTheFourTexts() {
    EXPECT_EQ(TextOf(AboutWindow()), L"About Polvane");
    EXPECT_EQ(TextOf(AboutControl(IDC_LBL_TITLE)), L"Krestel Polvane");
    EXPECT_EQ(TextOf(AboutControl(IDC_LBL_VERSION)), L"Version 1.0.4");
    EXPECT_EQ(TextOf(AboutControl(IDC_LBL_DESCRIPTION)), kDescription);
  }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

TEST_F(About, F1OpensOneIndependentWindowWithTheVersionRecordsTexts) {
  PressKey(form.Hwnd(), VK_F1);
  ASSERT_EQ(AboutWindows().size(), 1u);
  const HWND about = AboutWindow();
  EXPECT_TRUE(IsWindowVisible(about));
  ExpectTheFourTexts();
  EXPECT_EQ(TextOf(AboutControl(IDC_LBL_POLVANE_WEB)), L"Polvane Homepage");
  EXPECT_EQ(TextOf(AboutControl(IDOK)), L"OK");
  EXPECT_EQ(GetFocus(), AboutControl(IDOK));
  EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
  EXPECT_EQ(GetAncestor(about, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsWindowEnabled(form.Hwnd())) << "the About window must not block the main window";

  // It opens inside the work area, beside the main window rather than over
  // it wherever the work area has room on either side. (Wine may report the
  // work area in scaled units, 1280 pixels wide on a 1920 screen at 150 %,
  // and then there is none.)
  RECT main{}, beside{}, overlap{};
  GetWindowRect(form.Hwnd(), &main);
  GetWindowRect(about, &beside);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form.Hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_GE(beside.left, work.left);
  EXPECT_LE(beside.right, work.right);
  const LONG width = beside.right - beside.left;
  const bool roomBeside = main.right + width <= work.right || main.left - width >= work.left;
  EXPECT_TRUE(!roomBeside || !IntersectRect(&overlap, &main, &beside))
      << "main " << main.left << "," << main.top << "-" << main.right << "," << main.bottom
      << ", About " << beside.left << "," << beside.top << "-" << beside.right << ","
      << beside.bottom;
}

TEST_F(About, IsAFixedDialogFrameWithEveryControlAtItsTwips) {
  ChooseHelpAbout();
  const HWND hwnd = AboutWindow();
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  RECT client{};
  GetClientRect(hwnd, &client);
  const RECT area = FromTwips(0, 0, 5235, 3495);
  EXPECT_EQ(client.right, area.right);
  EXPECT_EQ(client.bottom, area.bottom);

  ExpectRect(AboutControl(IDC_IMAGE1), FromTwips(240, 240, 540, 540));
  ExpectRect(AboutControl(IDC_LBL_TITLE), FromTwips(1050, 240, 3885, 480));
  ExpectRect(AboutControl(IDC_LBL_VERSION), FromTwips(1050, 780, 3885, 225));
  // The description keeps its box but grows downwards, never into the link,
  // where its wrapped text needs more room.
  const RECT description = ClientRectOf(AboutControl(IDC_LBL_DESCRIPTION));
  const RECT descriptionBox = FromTwips(1050, 1125, 3885, 570);
  EXPECT_EQ(description.left, descriptionBox.left);
  EXPECT_EQ(description.top, descriptionBox.top);
  EXPECT_EQ(description.right, descriptionBox.right);
  EXPECT_GE(description.bottom, descriptionBox.bottom);
  EXPECT_LE(description.bottom, ClientRectOf(AboutControl(IDC_LBL_POLVANE_WEB)).top);
  ExpectRect(AboutControl(IDOK), FromTwips(3850, 2040, 1260, 345));
  ExpectRect(AboutControl(IDC_LBL_POLVANE_WEB), FromTwips(1050, 2160, 2685, 225));
  ExpectRect(AboutControl(IDC_PICTURE1), FromTwips(11, 2505, 5207, 975));

  // The banner sits in the panel's inner area, inside its sunken edge.
  const HWND banner = AboutControl(IDC_IMG_MSN);
  EXPECT_EQ(GetParent(banner), AboutControl(IDC_PICTURE1));
  RECT inPanel{};
  GetWindowRect(banner, &inPanel);
  MapWindowPoints(nullptr, AboutControl(IDC_PICTURE1), reinterpret_cast<POINT*>(&inPanel), 2);
  const RECT expected = FromTwips(120, 120, 3555, 750);
  EXPECT_TRUE(EqualRect(&inPanel, &expected));
  RECT panelClient{};
  GetClientRect(AboutControl(IDC_PICTURE1), &panelClient);
  EXPECT_LE(inPanel.right, panelClient.right);
  EXPECT_LE(inPanel.bottom, panelClient.bottom);

  // Z-order follows the tab indices; OK is the first stop and the default.
  const std::vector<HWND> tabOrder{AboutControl(IDOK),          AboutControl(IDC_LBL_DESCRIPTION),
                                   AboutControl(IDC_LBL_TITLE), AboutControl(IDC_LBL_VERSION),
                                   AboutControl(IDC_PICTURE1),  AboutControl(IDC_LBL_POLVANE_WEB)};
  HWND child = GetWindow(hwnd, GW_CHILD);
  for (HWND expectedChild : tabOrder) {
    EXPECT_EQ(child, expectedChild) << TextOf(expectedChild).c_str();
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(GetNextDlgTabItem(hwnd, nullptr, FALSE), AboutControl(IDOK));
  EXPECT_EQ(GetWindowLongW(AboutControl(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(LOWORD(SendMessageW(hwnd, DM_GETDEFID, 0, 0)), IDOK);
}

// The colours the window hands a static control to draw with.
struct StaticColours {
  COLORREF text;
  COLORREF background;
};
StaticColours ColoursFor(HWND window, HWND control) {
  HDC dc = CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  LOGBRUSH fill{};
  GetObjectW(brush, sizeof fill, &fill);
  const StaticColours colours{GetTextColor(dc), fill.lbColor};
  DeleteDC(dc);
  return colours;
}

TEST_F(About, LinkIsPureBlueUnderlinedMicrosoftSansSerifAndThePanelWhite) {
  ChooseHelpAbout();
  LOGFONTW font{};
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(AboutControl(IDC_LBL_POLVANE_WEB), WM_GETFONT, 0, 0)),
      sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Microsoft Sans Serif");
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(font.lfHeight, -MulDiv(825, SystemDpi(), 7200));

  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_POLVANE_WEB)).text, RGB(0, 0, 255));
  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_TITLE)).text, RGB(0, 0, 0));
  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_DESCRIPTION)).text, RGB(0, 0, 0));
  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_PICTURE1)).background, RGB(255, 255, 255));
  // The banner asks its panel, which passes the question on.
  EXPECT_EQ(ColoursFor(AboutControl(IDC_PICTURE1), AboutControl(IDC_IMG_MSN)).background,
            RGB(255, 255, 255));
}

// High Contrast Black: the flag (stated, since Wine keeps none) and the
// system's colours, both put back when it goes.
class HighContrastBlack {
 public:
  explicit HighContrastBlack(TestColours& colours) : colours_(colours) {
    colours_.highContrast = true;
    for (int i = 0; i < 4; ++i) saved_[i] = GetSysColor(kElements[i]);
    const COLORREF black[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 0, 0)};
    SetSysColors(4, kElements, black);
  }
  ~HighContrastBlack() {
    SetSysColors(4, kElements, saved_);
    colours_.highContrast.reset();
  }
  HighContrastBlack(const HighContrastBlack&) = delete;
  HighContrastBlack& operator=(const HighContrastBlack&) = delete;

 private:
  static constexpr int kElements[] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_HOTLIGHT, COLOR_WINDOW};
  TestColours& colours_;
  COLORREF saved_[4]{};
};

TEST_F(About, UnderHighContrastEveryColourIsTheSystems) {
  ChooseHelpAbout();
  {
    const HighContrastBlack contrast(services.colours);
    for (HWND text : {AboutControl(IDC_LBL_TITLE), AboutControl(IDC_LBL_DESCRIPTION)}) {
      EXPECT_EQ(ColoursFor(AboutWindow(), text).text, RGB(255, 255, 255));
      EXPECT_EQ(ColoursFor(AboutWindow(), text).background, RGB(0, 0, 0));
    }
    EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_POLVANE_WEB)).text, RGB(255, 255, 0));
    EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_PICTURE1)).background, RGB(0, 0, 0));
  }
  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_TITLE)).text, RGB(0, 0, 0));
  EXPECT_EQ(ColoursFor(AboutWindow(), AboutControl(IDC_LBL_POLVANE_WEB)).text, RGB(0, 0, 255));
}

TEST_F(About, EveryTextFitsInItsLabel) {
  ChooseHelpAbout();
  for (HWND label : {AboutControl(IDC_LBL_TITLE), AboutControl(IDC_LBL_VERSION),
                     AboutControl(IDC_LBL_DESCRIPTION), AboutControl(IDC_LBL_POLVANE_WEB)}) {
    RECT box{};
    GetClientRect(label, &box);
    RECT needed = box;
    HDC dc = GetDC(label);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(label);
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    EXPECT_LE(needed.right, box.right) << text.c_str();
    EXPECT_LE(needed.bottom, box.bottom) << text.c_str();
  }
}

TEST_F(About, HandPointerOverTheBannerAndTheLinkOnly) {
  ChooseHelpAbout();
  const HCURSOR hand = PointerOver(AboutControl(IDC_IMG_MSN));
  ASSERT_TRUE(hand);
  EXPECT_NE(hand, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(PointerOver(AboutControl(IDC_LBL_POLVANE_WEB)), hand);
  EXPECT_NE(PointerOver(AboutControl(IDOK)), hand);
  EXPECT_NE(PointerOver(AboutControl(IDC_LBL_TITLE)), hand);
}

TEST_F(About, HelpAboutWhileOpenShowsTheSameWindow) {
  ChooseHelpAbout();
  const HWND first = AboutWindow();
  ChooseHelpAbout();
  PressKey(form.Hwnd(), VK_F1);
  EXPECT_EQ(AboutWindows(), std::vector<HWND>{first});
  EXPECT_EQ(GetForegroundWindow(), first);
}

TEST_F(About, OnceClosedItsControlsAndWhatTheyShowedAreGone) {
  ChooseHelpAbout();
  const HWND controls[] = {AboutControl(IDOK), AboutControl(IDC_LBL_TITLE),
                           AboutControl(IDC_PICTURE1), AboutControl(IDC_IMG_MSN),
                           AboutControl(IDC_IMAGE1)};
  const auto icon = static_cast<HICON>(ImageOf(AboutControl(IDC_IMAGE1), IMAGE_ICON));
  const auto banner = static_cast<HBITMAP>(ImageOf(AboutControl(IDC_IMG_MSN), IMAGE_BITMAP));
  const HCURSOR hand = PointerOver(AboutControl(IDC_IMG_MSN));
  ASSERT_TRUE(IconAlive(icon) && GetObjectType(banner) == OBJ_BITMAP && IconAlive(hand));
  SendMessageW(AboutWindow(), WM_CLOSE, 0, 0);
  for (const HWND control : controls) EXPECT_FALSE(IsWindow(control));
  EXPECT_FALSE(IconAlive(icon));
  EXPECT_EQ(GetObjectType(banner), 0u);
  EXPECT_FALSE(IconAlive(hand));
}

TEST_F(About, OkEnterAndEscEachCloseItAndReopeningShowsTheSameTexts) {
  const auto clickOk = [this] {
    SendMessageW(AboutControl(IDOK), BM_CLICK, 0, 0);
    PumpMessages();
  };
  const auto enter = [this] { PressKey(AboutControl(IDC_LBL_TITLE), VK_RETURN); };
  const auto esc = [this] { PressKey(AboutControl(IDOK), VK_ESCAPE); };
  for (const auto& close :
       {std::function<void()>(clickOk), std::function<void()>(enter), std::function<void()>(esc)}) {
    ChooseHelpAbout();
    ExpectTheFourTexts();
    close();
    EXPECT_TRUE(AboutWindows().empty());
    EXPECT_FALSE(AboutWindow());
    EXPECT_TRUE(IsWindowVisible(form.Hwnd()));
    EXPECT_FALSE(TakeQuitRequest());
  }
}

TEST_F(About, ExitClosesBothWindowsAndEndsTheProgram) {
  ChooseHelpAbout();
  SetForegroundWindow(form.Hwnd());
  SendMessageW(ControlOf(form.Hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(AboutWindows().empty());
  EXPECT_FALSE(IsWindow(form.Hwnd()));
  EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(About, F1AndCtrlQWorkFromTheAboutWindowToo) {
  ChooseHelpAbout();
  const HWND about = AboutWindow();
  PressKey(AboutControl(IDOK), VK_F1);
  EXPECT_EQ(AboutWindows().size(), 1u);
  EXPECT_EQ(AboutWindow(), about);
  PressKey(AboutControl(IDOK), 'Q', true);
  EXPECT_TRUE(AboutWindows().empty());
  EXPECT_FALSE(IsWindow(form.Hwnd()));
  EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(About, ProgramEndsWhenTheAboutWindowClosesLast) {
  ChooseHelpAbout();
  SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Hwnd());
  EXPECT_TRUE(IsWindowVisible(AboutWindow()));
  EXPECT_FALSE(TakeQuitRequest());

  SendMessageW(AboutControl(IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(AboutWindows().empty());
  EXPECT_TRUE(TakeQuitRequest());
}

// The prefix's browser is link_recorder.exe while these tests run.
class Links : public About {
 protected:
  static std::vector<std::string> ReceivedAddresses(std::size_t count) {
    return LinkRecorder::Addresses(count);
  }
  LinkRecorder recorder;
};

TEST_F(Links, BannerAndLabelHandTheirAddressesToTheShellEveryTime) {
  ChooseHelpAbout();
  Click(AboutControl(IDC_IMG_MSN));
  ASSERT_EQ(ReceivedAddresses(1), std::vector<std::string>{kMessengerProductUrl});
  Click(AboutControl(IDC_LBL_POLVANE_WEB));
  ASSERT_EQ(ReceivedAddresses(2), (std::vector<std::string>{kMessengerProductUrl, kHomePageUrl}));
  Click(AboutControl(IDC_LBL_POLVANE_WEB));
  EXPECT_EQ(ReceivedAddresses(3),
            (std::vector<std::string>{kMessengerProductUrl, kHomePageUrl, kHomePageUrl}));
  EXPECT_EQ(AboutWindows().size(), 1u) << "a link click leaves the window open";
}

TEST_F(Links, ALinkAfterTheMainWindowClosedDoesNotBringItBack) {
  ChooseHelpAbout();
  SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
  Click(AboutControl(IDC_LBL_POLVANE_WEB));
  EXPECT_EQ(ReceivedAddresses(1), std::vector<std::string>{kHomePageUrl});
  EXPECT_FALSE(form.Hwnd());
  EXPECT_FALSE(FindWindowW(L"Polvane.frmMain", nullptr));
  SendMessageW(AboutControl(IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(TakeQuitRequest()) << "the program must end with its last window";
}

// The control's pixels as the screen shows them, once it has painted.
std::vector<std::uint32_t> PixelsOf(HWND hwnd) {
  UpdateWindow(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  HDC screen = GetDC(hwnd);
  HDC copy = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + client.right * client.bottom);
  SelectObject(copy, previous);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(hwnd, screen);
  return pixels;
}

TEST_F(Links, TabReachesTheBannerAndTheHomePageWhichShowTheFocusAndOpenWithEnterOrSpace) {
  ChooseHelpAbout();
  ASSERT_EQ(GetFocus(), AboutControl(IDOK));
  const std::pair<HWND, const char*> stops[] = {{AboutControl(IDC_IMG_MSN), kMessengerProductUrl},
                                                {AboutControl(IDC_LBL_POLVANE_WEB), kHomePageUrl}};
  std::vector<std::string> opened;
  std::vector<std::uint32_t> unfocused;
  for (const auto& [link, address] : stops) {
    unfocused = PixelsOf(link);
    PressKey(GetFocus(), VK_TAB);
    ASSERT_EQ(GetFocus(), link);
    EXPECT_TRUE(PixelsOf(link) != unfocused) << "the focus does not show";
    for (const UINT key : {VK_RETURN, VK_SPACE}) {
      PressKey(link, key);
      opened.push_back(address);
      EXPECT_EQ(ReceivedAddresses(opened.size()), opened) << key;
      ASSERT_TRUE(IsWindow(AboutWindow())) << "the key pressed OK instead";
    }
  }
  PressKey(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), AboutControl(IDOK));
  EXPECT_TRUE(PixelsOf(AboutControl(IDC_LBL_POLVANE_WEB)) == unfocused) << "the focus stayed drawn";
}

TEST_F(Links, ScreenReadersAreToldEachIsALinkByNameAndCanOpenIt) {
  ChooseHelpAbout();
  const struct {
    HWND hwnd;
    const wchar_t* name;
    const char* address;
  } links[] = {{AboutControl(IDC_IMG_MSN), L"MSN Messenger", kMessengerProductUrl},
               {AboutControl(IDC_LBL_POLVANE_WEB), L"Polvane Homepage", kHomePageUrl}};
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  std::vector<std::string> opened;
  for (const auto& link : links) {
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(link.hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT role{}, state{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
    EXPECT_EQ(object->get_accState(self, &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_LINKED);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_FOCUSABLE);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_STREQ(name, link.name);
    SysFreeString(name);
    EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    object->Release();
    PumpMessages();
    opened.push_back(link.address);
    EXPECT_EQ(ReceivedAddresses(opened.size()), opened);
  }
}

TEST(AboutPictures, BannerIsA237By50Gif89aWith256Colours) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDG_MESSENGER_BANNER), L"GIF");
  ASSERT_TRUE(found);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(self, found)));
  ASSERT_GE(SizeofResource(self, found), 13u + 768u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 6), "GIF89a");
  EXPECT_EQ(bytes[6] | bytes[7] << 8, 237);
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 50);
  EXPECT_EQ(bytes[10] & 0x80, 0x80) << "no global colour table";
  EXPECT_EQ(2 << (bytes[10] & 0x07), 256);

  // Windows' own loader reads it at that size; OLE gives sizes in hundredths
  // of a millimetre at the screen's dpi.
  const UniquePicture picture = LoadGifResource(self, IDG_MESSENGER_BANNER);
  ASSERT_TRUE(picture);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  constexpr int kHimetricPerInch = 2540;
  EXPECT_EQ(MulDiv(width, SystemDpi(), kHimetricPerInch), 237);
  EXPECT_EQ(MulDiv(height, SystemDpi(), kHimetricPerInch), 50);
}

TEST(AboutPictures, HandPointerIsOne32By32ImageIn256Colours) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  HRSRC groupFound = FindResourceW(self, MAKEINTRESOURCEW(IDC_HAND_POINTER), RT_GROUP_CURSOR);
  ASSERT_TRUE(groupFound);
#pragma pack(push, 2)
  struct CursorEntry {
    WORD width, height, planes, bitCount;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  const auto* group = static_cast<const WORD*>(LockResource(LoadResource(self, groupFound)));
  ASSERT_EQ(group[1], 2) << "not a cursor group";
  ASSERT_EQ(group[2], 1);
  const auto* entry = reinterpret_cast<const CursorEntry*>(group + 3);
  EXPECT_EQ(entry->width, 32);
  EXPECT_EQ(entry->height, 64);  // image and mask
  EXPECT_EQ(entry->bitCount, 8);
  EXPECT_EQ(entry->id, IDC_HAND_POINTER_IMAGE);

  HRSRC imageFound = FindResourceW(self, MAKEINTRESOURCEW(entry->id), RT_CURSOR);
  ASSERT_TRUE(imageFound);
  const auto* image = static_cast<const BYTE*>(LockResource(LoadResource(self, imageFound)));
  BITMAPINFOHEADER header{};
  memcpy(&header, image + 4, sizeof header);  // after the hot spot
  const auto* hotSpot = reinterpret_cast<const WORD*>(image);
  EXPECT_EQ(hotSpot[0], 11);  // the tip of the finger
  EXPECT_EQ(hotSpot[1], 1);
  EXPECT_EQ(header.biWidth, 32);
  EXPECT_EQ(header.biHeight, 64);
  EXPECT_EQ(header.biBitCount, 8);
}

}  // namespace
}  // namespace polvane::test
