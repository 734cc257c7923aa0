#include "support/test_paths.h"

#include <filesystem>
#include <system_error>

#ifndef ORVANE_BINARY_DIR
#define ORVANE_BINARY_DIR "."
#endif

std::string HostPath(const std::string& unix_path) {
#ifdef _WIN32
  if (unix_path.empty() || unix_path[0] != '/') return unix_path;
  std::string path = "Z:" + unix_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
#else
  return unix_path;
#endif
}

std::string ScratchDir(const std::string& name) {
  std::string dir = HostPath(std::string(ORVANE_BINARY_DIR) + "/scratch/" + name);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir, ignored);
  return dir;
}

bool FileExists(const std::string& host_path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(host_path, ignored);
}
