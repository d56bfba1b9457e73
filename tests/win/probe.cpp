// Tells a test script where a control of the running Polvane window lies, so
// that it can click it with real X input:
//   polvane_probe.exe center "Caption"   prints the control's centre, "x y"
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Search {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  char text[256]{};
  GetWindowTextA(hwnd, text, sizeof text);
  if (std::strcmp(text, search->caption) != 0) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "center") != 0) {
    std::fprintf(stderr, "usage: polvane_probe center CAPTION\n");
    return 2;
  }
  const HWND main = FindWindowA(nullptr, "Polvane");
  if (!main) return 1;
  Search search{argv[2], nullptr};
  EnumChildWindows(main, MatchCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 1;
  RECT r{};
  GetWindowRect(search.found, &r);
  std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return 0;
}
