// Start-up time of Windows programs, whole process: from CreateProcess to the first frame of the
// program's main window. The programs named on the command line are started in turn, interleaved,
// for a number of rounds (after one round that is not counted); each start is timed with the
// performance counter and the program is closed again before the next one. Prints every time
// and, per program, the median and its ratio to the first program's median.
//
//   startup_timer ROUNDS PROGRAM [PROGRAM...]
//
// The first frame: a visible, non-empty top-level window of the new process exists, neither it nor
// any window inside it has anything left to paint, and the process's user-interface thread has
// answered a message sent after that (so the last paint handler has returned).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  RECT bounds{};
  GetWindowRect(window, &bounds);
  if (bounds.right - bounds.left < 50 || bounds.bottom - bounds.top < 50) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM data) {
  if (!GetUpdateRect(window, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(data) = true;
  return FALSE;
}

// Whether the window or a window inside it still waits to be painted.
bool WaitsForPaint(HWND window) {
  bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  if (!unpainted) EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return unpainted;
}

// Answered once the window's thread takes sent messages again.
bool ThreadAnswers(HWND window) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &answer) != 0;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Closes the program's windows and waits for it to end; ends it when it does not.
void CloseProgram(const PROCESS_INFORMATION& process, HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
    std::fwprintf(stderr, L"the program did not close; ending it\n");
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kTimeoutMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// One start of a program; a negative time when it failed.
double TimeOneStart(const std::wstring& program) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
    return -1;
  }
  WindowSearch search{process.dwProcessId, nullptr};
  LARGE_INTEGER now = start;
  while (!search.found && Milliseconds(start, now) < kTimeoutMs) {
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(1);
    QueryPerformanceCounter(&now);
  }
  bool painted = search.found && ThreadAnswers(search.found);
  while (painted && WaitsForPaint(search.found)) {
    Sleep(1);
    QueryPerformanceCounter(&now);
    painted = Milliseconds(start, now) < kTimeoutMs;
  }
  if (!painted || !ThreadAnswers(search.found)) {
    std::fwprintf(stderr, L"%ls showed no window\n", program.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kTimeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return -1;
  }
  QueryPerformanceCounter(&now);
  const double elapsed = Milliseconds(start, now);
  CloseProgram(process, search.found);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: startup_timer ROUNDS PROGRAM [PROGRAM...]\n");
    return 2;
  }
  const int rounds = std::max(1, _wtoi(argv[1]));
  std::vector<std::wstring> programs(argv + 2, argv + argc);
  std::vector<std::vector<double>> times(programs.size());
  for (int round = 0; round <= rounds; ++round) {
    for (std::size_t i = 0; i < programs.size(); ++i) {
      const double elapsed = TimeOneStart(programs[i]);
      if (elapsed < 0) return 1;
      if (round == 0) continue;  // the first round warms the caches and the Wine server
      times[i].push_back(elapsed);
      std::wprintf(L"round %d %ls %.1f ms\n", round, programs[i].c_str(), elapsed);
    }
  }
  const double reference = Median(times[0]);
  for (std::size_t i = 0; i < programs.size(); ++i) {
    const double median = Median(times[i]);
    std::wprintf(L"median %ls %.1f ms (%.2fx %ls)\n", programs[i].c_str(), median,
                 median / reference, programs[0].c_str());
  }
  return 0;
}
