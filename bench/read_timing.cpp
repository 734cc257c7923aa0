// read-timing FILE [ROUNDS]: in-process medians of ReadFontFile and of a bare
// MapFileReadOnly on the same file, alternated, free of process start-up noise.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fontfile/font_info.h"
#include "platform/platform.h"

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename Step>
double Microseconds(Step step) {
  auto start = std::chrono::steady_clock::now();
  step();
  std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: read-timing FILE [ROUNDS]\n", stderr);
    return 2;
  }
  int rounds = argc == 3 ? std::max(1, std::atoi(argv[2])) : 1001;
  std::vector<double> read_times, map_times;
  int recognized = 0;
  for (int i = 0; i < rounds; ++i) {
    read_times.push_back(Microseconds([&] {
      FontInfo info;
      recognized = ReadFontFile(argv[1], info);
    }));
    map_times.push_back(Microseconds([&] {
      MappedFile file;
      MapFileReadOnly(argv[1], file);
    }));
  }
  std::printf("%s recognized=%d read_us=%.1f map_us=%.1f\n", argv[1], recognized,
              Median(read_times), Median(map_times));
  return recognized ? 0 : 1;
}
