#include <cstdio>

#include "tools/orvane_info/report_command.h"

// Filled in with the text library's report; until then it says so.
int RunReportCommand(const char* path) {
  std::fprintf(stderr, "orvane-info: %s: --report is not built yet\n", path);
  return 2;
}
