#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "platform/platform.h"

namespace {
// Set by tests, which have no DLL of their own to find language files beside.
std::string g_module_path_override;
}

const char* FindPathExtension(const char* path) { return PathFindExtensionA(path); }

const wchar_t* FindPathExtension(const wchar_t* path) { return PathFindExtensionW(path); }

std::string ModulePath() {
  if (!g_module_path_override.empty()) return g_module_path_override;
  // The module that holds this code: the plug-in DLL, not the host's program.
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModulePath), &module))
    return std::string();
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(path, length);
}

void SetModulePath(const std::string& path) { g_module_path_override = path; }

bool FindFiles(const char* pattern, const std::function<void(const char* name)>& visit) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    visit(data.cFileName);
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return true;
}
