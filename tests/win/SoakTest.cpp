// Long runs in one process: load and save cycles on both scopes, and the
// About window opened and closed with clicks on its links. Afterwards every
// registry key must be closed, every handle the windows made released, and
// memory must not have grown beyond a stated bound after the first cycles.
// The test command runs short versions; scripts/soak.sh the full counts.
#include <windows.h>
#include <ocidl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rules/Links.h"
#include "seams/RegistryApi.h"
#include "resources/resource.h"
#include "tests/common/CountingRegistry.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/TestServices.h"
#include "tests/win/support/Input.h"
#include "tests/win/support/PolicyKeys.h"
#include "tests/win/support/Recorders.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

// POLVANE_SOAK=full asks for the full counts.
int Cycles(int full, int quick) {
  const char* mode = std::getenv("POLVANE_SOAK");
  return mode && std::string(mode) == "full" ? full : quick;
}

// Memory the process has committed for itself. (Wine reports PrivateUsage
// as 0; PagefileUsage is the same commit charge and it keeps it.)
SIZE_T CommittedBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

// Growth allowed after the first tenth of the cycles: heaps and Wine's own
// caches settle by then, and a leak of even a few bytes a cycle over the
// full counts would pass it.
constexpr long long kMemoryBound = 1024 * 1024;

class Soak : public PolicyTest {
 protected:
  void SetUp() override {
    PolicyTest::SetUp();
    form.Start();
    PumpMessages();
  }
  void TearDown() override {
    Window::DestroyAll();
    TakeQuitRequest();
    PolicyTest::TearDown();
  }

  void ClickButton(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpMessages();
  }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

TEST_F(Soak, LoadAndSaveCyclesOnBothScopesCloseEveryKeyAndKeepMemoryFlat) {
  const int cycles = Cycles(10000, 200);
  CountingRegistry& counting = services.registry;
  counting.KeepCalls(false);
  counting.Clear();
  SIZE_T settled = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    if (cycle == cycles / 10) settled = CommittedBytes();
    ClickButton(form.chkOption(1).Hwnd());             // switch scope: a load
    ClickButton(form.chkSubOption(cycle % 4).Hwnd());  // change one value
    ClickButton(ControlOf(form.Hwnd(), IDOK));         // a save
  }
  const long long grown =
      static_cast<long long>(CommittedBytes()) - static_cast<long long>(settled);
  ASSERT_GT(settled, 0u) << "no memory figure to compare";

  // Each cycle reads the five values at the load and again before the save,
  // which checks that nothing changed behind the window.
  EXPECT_EQ(counting.Count(RegCall::Open), cycles * 10);
  EXPECT_EQ(counting.Count(RegCall::Create), cycles * 5);
  // The first load of each scope, and the check before its first save, find
  // no key to open; every other open and every create is closed.
  EXPECT_EQ(counting.Count(RegCall::Close), cycles * 15 - 20);
  EXPECT_EQ(counting.OpenKeys(), 0u);
  EXPECT_LE(grown, kMemoryBound) << grown << " bytes more after " << cycles << " cycles";
  std::printf("load and save: %d cycles, memory grew %lld bytes after the first %d\n", cycles,
              grown, cycles / 10);
  // The last save stored what the boxes show, in the scope last chosen.
  const HKEY root = form.chkOption(1).Value() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  EXPECT_EQ(StoredPolicy(root, "DisableVideo"), static_cast<DWORD>(form.chkSubOption(3).Value()));
}

// The handles one About window made, taken while it is open.
struct AboutHandles {
  std::vector<HFONT> fonts;
  HCURSOR handCursor;
  HICON icon;
  HBITMAP banner;
};

AboutHandles HandlesOfTheAboutWindow() {
  AboutHandles handles{};
  for (HWND control : {AboutControl(IDC_LBL_TITLE), AboutControl(IDC_LBL_VERSION),
                       AboutControl(IDC_LBL_POLVANE_WEB)})
    handles.fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  handles.handCursor = PointerOver(AboutControl(IDC_IMG_MSN));
  handles.icon = static_cast<HICON>(ImageOf(AboutControl(IDC_IMAGE1), IMAGE_ICON));
  handles.banner = static_cast<HBITMAP>(ImageOf(AboutControl(IDC_IMG_MSN), IMAGE_BITMAP));
  return handles;
}

TEST_F(Soak, AboutCyclesWithLinkClicksReleaseEverythingAndKeepMemoryFlat) {
  const int cycles = Cycles(1000, 20);
  LinkRecorder recorder;
  SIZE_T settled = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    if (cycle == cycles / 10) settled = CommittedBytes();
    PressKey(form.Hwnd(), VK_F1);
    ASSERT_TRUE(AboutWindow());
    const AboutHandles handles = HandlesOfTheAboutWindow();
    ASSERT_EQ(handles.fonts.size(), 3u);
    for (HFONT font : handles.fonts) ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    ASSERT_EQ(GetObjectType(handles.banner), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_TRUE(IconAlive(handles.icon));
    ASSERT_TRUE(IconAlive(handles.handCursor));

    Click(AboutControl(IDC_IMG_MSN));
    Click(AboutControl(IDC_LBL_POLVANE_WEB));
    ClickButton(AboutControl(IDOK));
    ASSERT_FALSE(AboutWindow());
    for (HFONT font : handles.fonts) EXPECT_EQ(GetObjectType(font), 0u) << "font kept";
    EXPECT_EQ(GetObjectType(handles.banner), 0u) << "banner picture kept";
    EXPECT_FALSE(IconAlive(handles.icon)) << "icon kept";
    EXPECT_FALSE(IconAlive(handles.handCursor)) << "hand pointer kept";
  }
  const long long grown =
      static_cast<long long>(CommittedBytes()) - static_cast<long long>(settled);
  ASSERT_GT(settled, 0u) << "no memory figure to compare";
  EXPECT_LE(grown, kMemoryBound) << grown << " bytes more after " << cycles << " cycles";
  std::printf("About: %d cycles, memory grew %lld bytes after the first %d\n", cycles, grown,
              cycles / 10);

  // Every click reached the shell, banner then label, cycle after cycle.
  const std::vector<std::string> addresses =
      LinkRecorder::Addresses(static_cast<std::size_t>(cycles) * 2);
  ASSERT_EQ(addresses.size(), static_cast<std::size_t>(cycles) * 2);
  EXPECT_EQ(std::count(addresses.begin(), addresses.end(), kMessengerProductUrl), cycles);
  EXPECT_EQ(std::count(addresses.begin(), addresses.end(), kHomePageUrl), cycles);
}

}  // namespace
}  // namespace polvane::test
