// read-all DIR...: reads every font file below the folders in one process and
// prints files per second, microseconds per file and peak memory. The first pass
// warms the page cache; the second is measured.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "fontfile/font_info.h"

namespace {

bool IsFontFile(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".ttf" || ext == ".ttc" || ext == ".otf" || ext == ".fon" || ext == ".pfm";
}

std::vector<std::string> FontsBelow(int count, char** folders) {
  std::vector<std::string> files;
  for (int i = 0; i < count; ++i) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folders[i], error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
      if (it->is_regular_file(error) && IsFontFile(it->path())) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: read-all DIR...\n", stderr);
    return 2;
  }
  std::vector<std::string> files = FontsBelow(argc - 1, argv + 1);
  if (files.empty()) {
    std::fputs("read-all: no font files found\n", stderr);
    return 1;
  }
  int recognized = 0;
  std::vector<double> per_file;
  double total_us = 0;
  for (int pass = 0; pass < 2; ++pass) {
    recognized = 0;
    per_file.clear();
    auto start = std::chrono::steady_clock::now();
    for (const std::string& file : files) {
      auto one = std::chrono::steady_clock::now();
      FontInfo info;
      recognized += ReadFontFile(file.c_str(), info);
      per_file.push_back(std::chrono::duration<double, std::micro>(
                             std::chrono::steady_clock::now() - one).count());
    }
    total_us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                   .count();
  }
  std::sort(per_file.begin(), per_file.end());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("files=%zu recognized=%d total_ms=%.1f files_per_s=%.0f us_per_file=%.1f "
              "median_us=%.1f p99_us=%.1f peak_rss_kb=%ld\n",
              files.size(), recognized, total_us / 1000, files.size() / (total_us / 1e6),
              total_us / files.size(), per_file[per_file.size() / 2],
              per_file[per_file.size() * 99 / 100], usage.ru_maxrss);
  return 0;
}
