// Tells a test script where a control of a running Polvane window lies, so
// that it can click it with real X input:
//   polvane_probe.exe center "Window" "Caption"   prints the control's centre, "x y"
//   polvane_probe.exe center "Window" "#306"      the same for control id 306
//   polvane_probe.exe links                       prints the two addresses, banner first
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rules/Links.h"

namespace {

struct Search {
  const char* caption;
  HWND found;
};

bool Matches(HWND hwnd, const char* wanted) {
  if (wanted[0] == '#') return GetDlgCtrlID(hwnd) == std::atoi(wanted + 1);
  char text[256]{};
  GetWindowTextA(hwnd, text, sizeof text);
  return std::strcmp(text, wanted) == 0;
}

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!Matches(hwnd, search->caption)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "links") == 0) {
    std::printf("%s\n%s\n", polvane::kMessengerProductUrl, polvane::kHomePageUrl);
    return 0;
  }
  if (argc != 4 || std::strcmp(argv[1], "center") != 0) {
    std::fprintf(stderr, "usage: polvane_probe center WINDOW (CAPTION|#ID)\n");
    return 2;
  }
  const HWND window = FindWindowA(nullptr, argv[2]);
  if (!window) return 1;
  Search search{argv[3], nullptr};
  EnumChildWindows(window, MatchCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 1;
  RECT r{};
  GetWindowRect(search.found, &r);
  std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return 0;
}
