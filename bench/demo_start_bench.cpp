// The demo's start-up: the time from creating the demo's process to its main
// form being visible with the character server having received the first
// greeting call ("Merlin.SHOW" in the server's journal), against a bare Win32
// program opening one window of the same size (bench_bare_window). Rounds of
// the two alternate in one run; the best and the median of each and their
// ratios are printed, then the demo's peak working set after the greeting.
//
//   bench_demo_start.exe [rounds]    (the demo must be built, the character
//                                     server registered in the prefix)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1);
}

double Now() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

bool JournalHas(const std::string& path, const std::string& text) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str().find(text) != std::string::npos;
}

struct Run {
  double seconds = -1;
  SIZE_T peakWorkingSet = 0;
};

// Starts a program in `dir` and waits until a visible window of that title
// exists (and, when a journal is named, the journal holds `call`).
Run Start(const std::string& exe, const std::string& dir, const char* title, const std::string& journal,
          const char* call) {
  Run run;
  // A window of that title left by another program would be found at once.
  if (FindWindowA(nullptr, title)) {
    std::printf("a window titled \"%s\" is already open: close it first\n", title);
    return run;
  }
  if (!journal.empty()) DeleteFileA(journal.c_str());
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + exe + "\"";
  const double t0 = Now();
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
    std::printf("cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
    return run;
  }
  for (;;) {
    HWND w = FindWindowA(nullptr, title);
    if (w && IsWindowVisible(w) && (journal.empty() || JournalHas(journal, call))) {
      run.seconds = Now() - t0;
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0 || Now() - t0 > 60) break;
  }
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (run.seconds >= 0 && GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) run.peakWorkingSet = pmc.PeakWorkingSetSize;
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  Sleep(300);  // the windows of the ended process go away
  return run;
}

double Best(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string here = Folder();
  const std::string bare = here + "bench_bare_window.exe";
  const std::string demoDir = here + "..\\app\\";
  const std::string demo = demoDir + "zorvan_demo.exe";
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string journal = std::string(temp) + "bench_demo_start_journal.txt";
  SetEnvironmentVariableA("AGENT_JOURNAL", journal.c_str());

  std::vector<double> bareTimes, demoTimes;
  SIZE_T demoPeak = 0, barePeak = 0;
  // A first start of each, not counted: the system's caches warm up.
  Start(bare, here, "Zorvan bare window", "", nullptr);
  Start(demo, demoDir, "Zorvan MS Agent Demo", journal, "Merlin.SHOW");
  for (int i = 0; i < rounds; ++i) {
    const Run b = Start(bare, here, "Zorvan bare window", "", nullptr);
    const Run d = Start(demo, demoDir, "Zorvan MS Agent Demo", journal, "Merlin.SHOW");
    if (b.seconds < 0 || d.seconds < 0) {
      std::printf("round %d: a program did not show its window\n", i + 1);
      return 1;
    }
    bareTimes.push_back(b.seconds);
    demoTimes.push_back(d.seconds);
    demoPeak = std::max(demoPeak, d.peakWorkingSet);
    barePeak = std::max(barePeak, b.peakWorkingSet);
  }
  std::printf("demo start-up to the form visible and the greeting received, %d rounds alternating\n", rounds);
  std::printf("  bare window   best %7.1f ms  median %7.1f ms\n", Best(bareTimes) * 1e3, Median(bareTimes) * 1e3);
  std::printf("  demo          best %7.1f ms  median %7.1f ms\n", Best(demoTimes) * 1e3, Median(demoTimes) * 1e3);
  std::printf("  ratio demo/bare: best %.2fx  median %.2fx  (goal: within 1.5x)\n", Best(demoTimes) / Best(bareTimes),
              Median(demoTimes) / Median(bareTimes));
  std::printf("peak working set after the greeting: demo %.1f MB (bare window %.1f MB)\n", demoPeak / 1048576.0,
              barePeak / 1048576.0);
  DeleteFileA(journal.c_str());
  return 0;
}
