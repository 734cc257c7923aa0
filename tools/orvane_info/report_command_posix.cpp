#include <cstdio>

#include "tools/orvane_info/report_command.h"

int RunReportCommand(const char* path, uint32_t /*face*/) {
  std::fprintf(stderr,
               "orvane-info: %s: the report needs the Windows font engine "
               "(run the Windows build of orvane-info, for example under Wine)\n",
               path);
  return 2;
}
