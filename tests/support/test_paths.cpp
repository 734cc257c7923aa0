#include "support/test_paths.h"

#include <filesystem>
#include <string_view>
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

namespace {

// The folders of the fonts the tests read, and the packages that install them.
struct FontPackage {
  std::string_view folder;
  std::string_view package;
};
constexpr FontPackage kFontPackages[] = {
    {"/usr/share/fonts/truetype/dejavu/", "fonts-dejavu-core"},
    {"/usr/share/fonts/opentype/noto/", "fonts-noto-cjk"},
    {"/usr/share/fonts/truetype/droid/", "fonts-droid-fallback"},
    {"/usr/share/wine/fonts/", "fonts-wine"},
    {"/usr/share/fonts/woff/dejavu/", "fonts-dejavu-web"},
    {"/usr/share/fonts/woff2/dejavu/", "fonts-dejavu-web"},
    {"/usr/share/texmf/fonts/opentype/public/lm/", "fonts-lmodern"},
    {"/usr/share/texmf/fonts/type1/public/lm/", "lmodern"},
};

}  // namespace

std::string MissingFont(const std::string& unix_path) {
  if (FileExists(HostPath(unix_path))) return "";
  std::string message = "missing " + unix_path;
  for (const FontPackage& row : kFontPackages)
    if (unix_path.starts_with(row.folder))
      return message + ": install the package " + std::string(row.package) +
             " (scripts/install-deps does)";
  return message + ": no package is known for it";
}
