// Times one load and one save of the five policies against the real
// registry, with the main window's real check boxes, and counts the
// registry calls each makes:
//   registry_bench.exe [REPEATS]
// Prints "load|save <median microseconds> <calls>" lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "seams/RegistryApi.h"
#include "bench/Clock.h"
#include "rules/mdlMain.h"
#include "platform/SystemServices.h"
#include "tests/common/CountingRegistry.h"
#include "ui/CommonControls.h"
#include "ui/frmMain.h"

namespace {

template <class Action>
double MedianMicroseconds(int repeats, Action action) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    const double start = NowMilliseconds();
    action();
    times.push_back((NowMilliseconds() - start) * 1000.0);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace polvane;
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  InitControls();
  SystemServices system;
  frmMain form(GetModuleHandleW(nullptr), system.Get());
  form.Load();
  const PolicyStore store{system.registry};
  // Saved first, so that every load finds the key and its five values.
  SavePolicies(store, form, false);

  const double save = MedianMicroseconds(repeats, [&] { SavePolicies(store, form, false); });
  const double load = MedianMicroseconds(repeats, [&] { LoadPolicies(store, form, false); });

  test::CountingRegistry counting(system.registry);
  const PolicyStore counted{counting};
  LoadPolicies(counted, form, false);
  const auto loadCalls = counting.Calls().size();
  counting.Clear();
  SavePolicies(counted, form, false);
  const auto saveCalls = counting.Calls().size();  // every call, of any kind

  std::printf("load\t%.1f\t%u\nsave\t%.1f\t%u\n", load, static_cast<unsigned>(loadCalls), save,
              static_cast<unsigned>(saveCalls));
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Messenger");
  return 0;
}
