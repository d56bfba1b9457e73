// Times programs from launch to a visible window waiting for input, taking
// turns so that every program meets the same machine state:
//   launch_timer.exe RUNS PROGRAM...
// Prints one line per program: its median and fastest time in milliseconds.
// With --to-exit, times command lines run to their end, and adds the
// median of the first one's time over each other's, round by round.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Clock.h"
#include "platform/Handles.h"

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->processId || !IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// Milliseconds from CreateProcess until the program is idle in its message
// loop with a visible top-level window; negative when it never got there.
double TimeOneLaunch(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::string command = "\"" + program + "\"";
  const double start = NowMilliseconds();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return -1;
  const polvane::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  double elapsed = -1;
  if (WaitForInputIdle(process.Get(), 20000) == 0) {
    Search search{started.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 20000 && !search.found; ++attempt) {
      EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
      if (!search.found) Sleep(1);
    }
    if (search.found) elapsed = NowMilliseconds() - start;
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) TerminateProcess(process.Get(), 1);
  return elapsed;
}

// Milliseconds from CreateProcess until the command line has run to its
// end; negative when it did not start or end.
double TimeOneRun(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::string command = commandLine;
  const double start = NowMilliseconds();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &started))
    return -1;
  const polvane::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  if (WaitForSingleObject(process.Get(), 20000) != WAIT_OBJECT_0) return -1;
  return NowMilliseconds() - start;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace

// launch_timer RUNS PROGRAM...: each program's launch to its window, in
// turns; launch_timer --to-exit RUNS COMMAND_LINE...: each command line's
// run to its end, in turns, then a "ratio" line for each one after the
// first.
int main(int argc, char** argv) {
  const bool toExit = argc > 1 && std::string(argv[1]) == "--to-exit";
  if (toExit) ++argv, --argc;
  if (argc < 3) {
    std::fprintf(stderr, "usage: launch_timer [--to-exit] RUNS PROGRAM...\n");
    return 2;
  }
  const auto time = toExit ? TimeOneRun : TimeOneLaunch;
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::vector<std::string> programs(argv + 2, argv + argc);
  for (const std::string& program : programs) time(program);  // warm the caches
  std::vector<std::vector<double>> times(programs.size());
  std::vector<std::vector<double>> ratios(programs.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < programs.size(); ++i) {
      const double t = time(programs[i]);
      if (t < 0) {
        std::fprintf(stderr, "%s did not get there\n", programs[i].c_str());
        return 1;
      }
      times[i].push_back(t);
    }
    for (std::size_t i = 1; i < programs.size(); ++i)
      ratios[i].push_back(times[0].back() / times[i].back());
  }
  for (std::size_t i = 0; i < programs.size(); ++i)
    std::printf("%s\t%.1f\t%.1f\n", programs[i].c_str(), Median(times[i]),
                *std::min_element(times[i].begin(), times[i].end()));
  for (std::size_t i = 1; toExit && i < programs.size(); ++i)
    std::printf("ratio\t%.2f\n", Median(ratios[i]));
  return 0;
}
