#include <dirent.h>
#include <fnmatch.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {
std::string g_module_path;
}

// Besides the backslash and the blank, '/' ends a name here: it is this
// system's folder separator.
const char* FindPathExtension(const char* path) {
  const char* dot = nullptr;
  const char* p = path;
  for (; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ' ')
      dot = nullptr;
    else if (*p == '.')
      dot = p;
  }
  return dot ? dot : p;
}

std::string ModulePath() { return g_module_path; }

void SetModulePath(const std::string& path) { g_module_path = path; }

bool FindFiles(const char* pattern, const std::function<void(const char* name)>& visit) {
  const char* slash = std::strrchr(pattern, '/');
  std::string folder = ".";
  if (slash) folder.assign(pattern, slash == pattern ? 1 : static_cast<size_t>(slash - pattern));
  std::string name = slash ? slash + 1 : pattern;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  bool found = false;
  // File names match without regard to case, as the Windows file search does.
  while (dirent* entry = readdir(dir)) {
    if (fnmatch(name.c_str(), entry->d_name, FNM_CASEFOLD) != 0) continue;
    found = true;
    visit(entry->d_name);
  }
  closedir(dir);
  return found;
}
