// Clock, medians and message pumping shared by the benchmarks.
#include <algorithm>
#include <cstdio>

#include "tools/orvane_host/benchmarks.h"

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double TicksToMs(LONGLONG ticks) {
  LARGE_INTEGER zero = {}, end = {};
  end.QuadPart = ticks;
  return Milliseconds(zero, end);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintPerFile(const std::vector<std::string>& files, const char* real_name,
                  const std::vector<std::vector<double>>& real,
                  const std::vector<std::vector<double>>& floor) {
  for (size_t i = 0; i < files.size(); ++i) {
    const size_t slash = files[i].find_last_of("\\/");
    std::printf("  %-28s %s %.2f ms, floor %.2f ms\n", files[i].substr(slash + 1).c_str(),
                real_name, Median(real[i]), Median(floor[i]));
  }
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
}
