// The main window as a user sees it, through real controls and messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include <map>
#include <type_traits>
#include <vector>

#include "resources/resource.h"
#include "tests/win/support/TestServices.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/Geometry.h"
#include "tests/win/support/Input.h"
#include "ui/Dpi.h"
#include "ui/Layout.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

static_assert(!std::is_copy_constructible_v<UniqueFont> &&
              std::is_move_constructible_v<UniqueFont>);
static_assert(!std::is_copy_assignable_v<UniqueIcon> && std::is_move_assignable_v<UniqueIcon>);

LONG ButtonType(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK; }

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Load();
    form.Show();
    SetForegroundWindow(form.Hwnd());
    PumpMessages();
  }

  std::vector<HWND> CheckBoxes() {
    return {form.chkOption(0).Hwnd(),    form.chkOption(1).Hwnd(),    form.chkSubOption(0).Hwnd(),
            form.chkSubOption(1).Hwnd(), form.chkSubOption(2).Hwnd(), form.chkSubOption(3).Hwnd()};
  }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

TEST_F(MainWindow, IsAFixedDialogFrameCentredWithTheStatedClientArea) {
  const HWND hwnd = form.Hwnd();
  EXPECT_EQ(TextOf(hwnd), L"Polvane");
  RECT client{};
  GetClientRect(hwnd, &client);
  const RECT expected = FromTwips(0, 0, 4470, 2580);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  // The sizes at the dpi the tests run at (100 %, 125 % and 150 %).
  const std::map<int, SIZE> stated{{96, {298, 172}}, {120, {373, 215}}, {144, {447, 258}}};
  ASSERT_TRUE(stated.contains(form.Dpi())) << form.Dpi();
  EXPECT_EQ(client.right, stated.at(form.Dpi()).cx);
  EXPECT_EQ(client.bottom, stated.at(form.Dpi()).cy);

  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);

  RECT window{}, work{};
  GetWindowRect(hwnd, &window);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(window.left - work.left, work.right - window.right, 1);
  EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 1);
}

TEST_F(MainWindow, ControlsSitWhereTheLayoutPutsThem) {
  ExpectRect(ControlOf(form.Hwnd(), IDC_FRA_MAIN), FromTwips(120, 120, 4215, 1860));
  const std::pair<HWND, RECT> placed[] = {
      {form.chkOption(0).Hwnd(), FromTwips(240, 120, 1650, 195)},
      {form.chkSubOption(0).Hwnd(), FromTwips(360, 480, 3855, 195)},
      {form.chkSubOption(1).Hwnd(), FromTwips(360, 840, 3855, 195)},
      {form.chkSubOption(2).Hwnd(), FromTwips(360, 1200, 3855, 195)},
      {form.chkSubOption(3).Hwnd(), FromTwips(360, 1560, 3855, 195)},
      {form.chkOption(1).Hwnd(), FromTwips(480, 2160, 1050, 195)},
      {ControlOf(form.Hwnd(), IDOK), FromTwips(1605, 2100, 1260, 345)},
      {ControlOf(form.Hwnd(), IDCANCEL), FromTwips(2955, 2100, 1260, 345)}};
  for (const auto& [control, laidOut] : placed)
    ExpectRectFittingItsCaption(control, laidOut, form.Dpi());
}

TEST_F(MainWindow, ControlsHaveTheirCaptionsKindsAndParents) {
  const HWND fra = ControlOf(form.Hwnd(), IDC_FRA_MAIN);
  const struct {
    HWND hwnd;
    const wchar_t* caption;
    LONG type;
    HWND parent;
  } expected[] = {
      {fra, L"", BS_GROUPBOX, form.Hwnd()},
      {form.chkOption(0).Hwnd(), L"Disable Messenger", BS_3STATE, fra},
      {form.chkSubOption(0).Hwnd(), L"Disable file transfer", BS_3STATE, fra},
      {form.chkSubOption(1).Hwnd(), L"Disable voice conversations", BS_3STATE, form.Hwnd()},
      {form.chkSubOption(2).Hwnd(), L"Disable phone calls", BS_3STATE, form.Hwnd()},
      {form.chkSubOption(3).Hwnd(), L"Disable video", BS_3STATE, form.Hwnd()},
      {form.chkOption(1).Hwnd(), L"All Users", BS_3STATE, form.Hwnd()},
      {ControlOf(form.Hwnd(), IDOK), L"Save", BS_DEFPUSHBUTTON, form.Hwnd()},
      {ControlOf(form.Hwnd(), IDCANCEL), L"Exit", BS_PUSHBUTTON, form.Hwnd()},
  };
  for (const auto& control : expected) {
    EXPECT_EQ(TextOf(control.hwnd), control.caption);
    EXPECT_EQ(ButtonType(control.hwnd), control.type) << control.caption;
    EXPECT_EQ(GetParent(control.hwnd), control.parent) << control.caption;
    EXPECT_TRUE(IsWindowVisible(control.hwnd) && IsWindowEnabled(control.hwnd)) << control.caption;
  }
  for (HWND box : CheckBoxes()) EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Measured in each control's own font, whatever face "MS Shell Dlg" maps to
// (the test runs again with a wider one).
TEST_F(MainWindow, EveryCaptionFitsInItsControl) {
  std::vector<HWND> controls = CheckBoxes();
  controls.push_back(ControlOf(form.Hwnd(), IDOK));
  controls.push_back(ControlOf(form.Hwnd(), IDCANCEL));
  for (HWND control : controls) {
    RECT r{};
    GetClientRect(control, &r);
    EXPECT_GE(r.right, CaptionNeeds(control, form.Dpi())) << TextOf(control).c_str();
  }
}

TEST_F(MainWindow, OnlyTheMasterOptionHasATooltip) {
  const HWND tip = TooltipOf(form.Hwnd());
  ASSERT_TRUE(tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[128]{};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), form.chkOption(0).Hwnd());
  EXPECT_STREQ(text, L"Stop Messeger from being able to run");
}

TEST_F(MainWindow, TabVisitsTheControlsInTabIndexOrder) {
  const std::vector<HWND> order{form.chkSubOption(0).Hwnd(),      form.chkOption(0).Hwnd(),
                                ControlOf(form.Hwnd(), IDCANCEL), ControlOf(form.Hwnd(), IDOK),
                                form.chkSubOption(1).Hwnd(),      form.chkSubOption(2).Hwnd(),
                                form.chkSubOption(3).Hwnd(),      form.chkOption(1).Hwnd()};
  EXPECT_EQ(GetNextDlgTabItem(form.Hwnd(), nullptr, FALSE), order[0]);
  for (std::size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(GetNextDlgTabItem(form.Hwnd(), order[i], FALSE), order[(i + 1) % order.size()])
        << "after " << TextOf(order[i]).c_str();

  // The same walk with the Tab key through the message loop.
  SetFocus(order[0]);
  for (std::size_t i = 1; i <= order.size(); ++i) {
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), order[i % order.size()]) << "step " << i;
  }
}

TEST_F(MainWindow, SaveIsTheDefaultButtonAndExitTheCancelButton) {
  const LRESULT defId = SendMessageW(form.Hwnd(), DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defId), IDOK);
  EXPECT_EQ(GetDlgItem(form.Hwnd(), IDOK), ControlOf(form.Hwnd(), IDOK));
  EXPECT_EQ(GetDlgItem(form.Hwnd(), IDCANCEL), ControlOf(form.Hwnd(), IDCANCEL));
}

TEST_F(MainWindow, MenusListTheirItemsWithAccessKeysAndShownShortcuts) {
  const HMENU bar = GetMenu(form.Hwnd());
  ASSERT_TRUE(bar);
  auto text = [](HMENU menu, UINT position) {
    wchar_t buffer[64]{};
    GetMenuStringW(menu, position, buffer, 64, MF_BYPOSITION);
    return std::wstring(buffer);
  };
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(text(bar, 0), L"&File");
  EXPECT_EQ(text(bar, 1), L"&Help");
  const HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(text(file, 0), L"Reset");
  EXPECT_EQ(text(file, 1), L"Save Changes");
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(text(file, 3), L"E&xit\tCtrl+Q");
  const HMENU help = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(help), 1);
  EXPECT_EQ(text(help, 0), L"&About\tF1");

  // The shortcuts shown are the ones the accelerator table carries.
  ACCEL keys[8]{};
  const int count = CopyAcceleratorTableW(form.Accelerators(), keys, 8);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(keys[0].key, 'Q');
  EXPECT_EQ(keys[0].fVirt & (FCONTROL | FVIRTKEY), FCONTROL | FVIRTKEY);
  EXPECT_EQ(keys[0].cmd, IDM_EXIT);
  EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(IDM_EXIT));
  EXPECT_EQ(keys[1].key, VK_F1);
  EXPECT_EQ(keys[1].cmd, IDM_ABOUT);
  EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(IDM_ABOUT));
}

// The two 32 x 32 images first, as they always were (16 and 256 colours),
// then 32-bit images for the sizes Windows asks for from 100 % to 200 %.
TEST_F(MainWindow, ProgramFileCarriesTheTwoIconImagesAndSharperSizesAfterThem) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
  ASSERT_TRUE(group);
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  const struct {
    WORD id, bits;
    BYTE size;  // 0 stands for 256
  } images[] = {{30001, 4, 32},  {30002, 8, 32},  {30003, 32, 16}, {30004, 32, 20}, {30005, 32, 24},
                {30006, 32, 40}, {30007, 32, 48}, {30008, 32, 64}, {30009, 32, 0}};
  ASSERT_EQ(*reinterpret_cast<const WORD*>(dir + 4), std::size(images));  // idCount
  for (std::size_t i = 0; i < std::size(images); ++i) {
    const BYTE* entry = dir + 6 + 14 * i;
    EXPECT_EQ(entry[0], images[i].size) << i;
    EXPECT_EQ(entry[1], images[i].size) << i;
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), images[i].bits) << i;
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 12), images[i].id) << i;
    const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(images[i].id), MAKEINTRESOURCEW(3));
    ASSERT_TRUE(image);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
    if (images[i].bits == 32) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 1, 3), "PNG") << i;
      continue;
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);
    EXPECT_EQ(header->biBitCount, images[i].bits);
  }
  EXPECT_TRUE(SendMessageW(form.Hwnd(), WM_GETICON, ICON_BIG, 0) ||
              GetClassLongPtrW(form.Hwnd(), GCLP_HICON));
}

TEST_F(MainWindow, UserClicksCycleCheckedAndGreyedBoxesToClear) {
  const HWND video = form.chkSubOption(3).Hwnd();
  SendMessageW(video, BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkSubOption(3).Value(), kChecked);
  EXPECT_EQ(SendMessageW(video, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(video, BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkSubOption(3).Value(), kUnchecked);
  form.chkSubOption(3).SetValue(kGreyed);
  EXPECT_EQ(SendMessageW(video, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  SendMessageW(video, BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkSubOption(3).Value(), kUnchecked);
}

TEST_F(MainWindow, SpaceBarTogglesTheFocusedBox) {
  SetFocus(form.chkOption(1).Hwnd());
  PressKey(GetFocus(), VK_SPACE);
  EXPECT_EQ(form.chkOption(1).Value(), kChecked);
  PressKey(GetFocus(), VK_SPACE);
  EXPECT_EQ(form.chkOption(1).Value(), kUnchecked);
}

TEST_F(MainWindow, MasterOptionGreysOutTheSubOptionsWhichKeepTheirTicks) {
  form.chkSubOption(2).SetValue(kChecked);
  SendMessageW(form.chkOption(0).Hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkOption(0).Value(), kChecked);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsWindowEnabled(form.chkSubOption(i).Hwnd())) << i;
  EXPECT_EQ(form.chkSubOption(2).Value(), kChecked);

  // Code still reads and assigns a disabled box; the user cannot click it.
  form.chkSubOption(0).SetValue(kChecked);
  EXPECT_EQ(SendMessageW(form.chkSubOption(0).Hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(form.chkSubOption(1).Hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkSubOption(1).Value(), kUnchecked);

  SendMessageW(form.chkOption(0).Hwnd(), BM_CLICK, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(IsWindowEnabled(form.chkSubOption(i).Hwnd())) << i;
  EXPECT_EQ(form.chkSubOption(0).Value(), kChecked);
  EXPECT_EQ(form.chkSubOption(2).Value(), kChecked);
}

TEST_F(MainWindow, AssigningTheMasterRaisesItsClickOnlyOnAChange) {
  form.chkOption(0).SetValue(kChecked);
  EXPECT_FALSE(IsWindowEnabled(form.chkSubOption(0).Hwnd()));
  // Enabled state changed behind the box's back: only a real change of the
  // master's value may bring the rule back into play.
  EnableWindow(form.chkSubOption(0).Hwnd(), TRUE);
  form.chkOption(0).SetValue(kChecked);
  EXPECT_TRUE(IsWindowEnabled(form.chkSubOption(0).Hwnd()));
  form.chkOption(0).SetValue(kGreyed);
  EXPECT_TRUE(IsWindowEnabled(form.chkSubOption(0).Hwnd()));
  EXPECT_FALSE(IsWindowEnabled(form.chkSubOption(1).Hwnd()));
  form.chkOption(0).SetValue(kUnchecked);
  EXPECT_TRUE(IsWindowEnabled(form.chkSubOption(1).Hwnd()));
}

TEST_F(MainWindow, CloseBoxEndsTheProgramWhenItWasTheLastWindow) {
  TakeQuitRequest();
  SendMessageW(form.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(form.Hwnd(), nullptr);
  EXPECT_TRUE(TakeQuitRequest());
}

}  // namespace
}  // namespace polvane::test
