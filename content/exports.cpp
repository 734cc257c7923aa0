// The content plug-in's exports (Orvane.wdx, Orvane.wdx64): paths and texts
// converted, then the portable ContentService. Nothing may throw past these.
#include <windows.h>

#include <cstring>
#include <string>

#include "content/content_service.h"
#include "platform/platform.h"
#include "text/language.h"

namespace {

// By extension only: the host asks for every file of a listing, and a test of
// the first bytes would make it open every file to find out.
constexpr char kDetectString[] =
    "EXT=\"TTF\"|EXT=\"TTC\"|EXT=\"OTF\"|EXT=\"FON\"|EXT=\"PFM\"|EXT=\"WOFF\"|EXT=\"WOFF2\"";

ContentService& Service() {
  static ContentService service;
  return service;
}

std::string WideToUtf8(const WCHAR* text) {
  if (!text) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.resize(static_cast<size_t>(bytes) - 1);
  return out;
}

std::string AnsiPathToUtf8(const char* path) { return path ? AnsiToUtf8(path) : std::string(); }

// The interface language: the Language key of Orvane's section in the settings
// file the host suggests, else in wincmd.ini beside it, where the viewer keeps it.
std::string LanguageOf(const std::string& settings_path) {
  char name[64] = "";
  ReadProfileString(kIniSection, "Language", "", name, sizeof name, settings_path.c_str());
  if (!name[0]) {
    const size_t slash = settings_path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : settings_path.substr(0, slash + 1);
    const std::string viewer_settings = folder + "wincmd.ini";
    ReadProfileString(kIniSection, "Language", "", name, sizeof name, viewer_settings.c_str());
  }
  if (!name[0] || _stricmp(name, "English") == 0) return {};
  return LanguageFilePath(name);
}

}  // namespace

// The host's default-parameters record.
struct ContentDefaultParams {
  int32_t size;
  uint32_t version_low;
  uint32_t version_high;
  char settings_path[MAX_PATH];
};

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" int __stdcall ContentGetDetectString(char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  size_t length = std::strlen(kDetectString);
  if (length > static_cast<size_t>(size) - 1) length = static_cast<size_t>(size) - 1;
  std::memcpy(buffer, kDetectString, length);
  buffer[length] = '\0';
  return 0;
}

extern "C" int __stdcall ContentGetSupportedField(int index, char* name, char* units, int size) {
  try {
    return Service().SupportedField(index, name, units, size);
  } catch (...) {
    return kFtNoMoreFields;
  }
}

extern "C" int __stdcall ContentGetValue(char* path, int index, int unit, void* value, int size,
                                         int flags) {
  try {
    return Service().Value(AnsiPathToUtf8(path), index, unit, value, size, flags, false);
  } catch (...) {
    return kFtFileError;
  }
}

extern "C" int __stdcall ContentGetValueW(WCHAR* path, int index, int unit, void* value, int size,
                                          int flags) {
  try {
    return Service().Value(WideToUtf8(path), index, unit, value, size, flags, true);
  } catch (...) {
    return kFtFileError;
  }
}

extern "C" void __stdcall ContentSetDefaultParams(ContentDefaultParams* params) {
  try {
    if (!params) return;
    const char* path = params->settings_path;
    Service().SetLanguageFile(LanguageOf(std::string(path, strnlen(path, sizeof params->settings_path))));
  } catch (...) {
  }
}

extern "C" void __stdcall ContentStopGetValue(char* path) {
  try {
    Service().Stop(AnsiPathToUtf8(path));
  } catch (...) {
  }
}

extern "C" void __stdcall ContentStopGetValueW(WCHAR* path) {
  try {
    Service().Stop(WideToUtf8(path));
  } catch (...) {
  }
}

extern "C" void __stdcall ContentPluginUnloading() {
  try {
    Service().Unload();
  } catch (...) {
  }
}
