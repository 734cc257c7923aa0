// orvane-content-host: a stand-in for the file manager's use of the content
// plug-in. Loads Orvane.wdx64 (or Orvane.wdx), passes a settings file, and
//   --fields             lists the fields: index, name, type and units
//   FILE...              writes one JSON line per file with every field's value,
//                        asked first as the drawing thread asks (delayed where the
//                        plug-in says so), then as the background thread does; the
//                        character text is read in pieces of 1 KB and whole, and
//                        "pieces_agree" says whether both read the same
//   --bench ROUNDS DIR...  every field of every font below the folders, per file,
//                        against the reader alone (ReadFontFileUtf8) on the same
//                        files, rounds alternated; prints the medians
// Unix paths are passed as Z: paths. Exit status: 0, 1 when the DLL cannot be
// loaded or lacks an export, 2 on a usage error.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "content/content_fields.h"
#include "fontfile/font_info.h"

namespace {

struct ContentApi {
  HMODULE dll = nullptr;
  int(__stdcall* detect)(char*, int) = nullptr;
  int(__stdcall* supported)(int, char*, char*, int) = nullptr;
  int(__stdcall* value_w)(WCHAR*, int, int, void*, int, int) = nullptr;
  void(__stdcall* set_params)(void*) = nullptr;
  void(__stdcall* unloading)() = nullptr;
};

template <typename F>
bool Bind(HMODULE dll, const char* name, F& out) {
  out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  return out != nullptr;
}

std::wstring Widen(const std::string& utf8) {
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(count, 1)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), count);
  out.resize(wcslen(out.c_str()));
  return out;
}

std::string Utf8(const wchar_t* text, int count = -1) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(bytes, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, count, out.data(), bytes, nullptr, nullptr);
  if (count < 0 && !out.empty()) out.pop_back();
  return out;
}

// "/usr/share/x" as Wine names it: "Z:\usr\share\x".
std::string HostPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') out += {'\\', static_cast<char>(c)};
    else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else out += static_cast<char>(c);
  }
  return out + "\"";
}

struct FieldInfo {
  std::string name;
  int type = 0;
};

std::vector<FieldInfo> Fields(const ContentApi& api) {
  std::vector<FieldInfo> fields;
  char name[256], units[1024];
  for (int index = 0;; ++index) {
    const int type = api.supported(index, name, units, sizeof name);
    if (type == kFtNoMoreFields) break;
    fields.push_back({name, type});
  }
  return fields;
}

// The whole character text: in pieces of `size` bytes, as the search reads it.
std::wstring CharacterText(const ContentApi& api, std::wstring& path, int field, int size) {
  std::vector<wchar_t> buffer(static_cast<size_t>(size) / 2);
  std::wstring text;
  while (api.value_w(path.data(), field, static_cast<int>(text.size()), buffer.data(), size, 0) ==
         kFtFullTextW)
    text += buffer.data();
  api.value_w(path.data(), field, -1, buffer.data(), size, 0);
  return text;
}

std::string ValueJson(int type, const std::vector<char>& buffer) {
  int32_t number = 0;
  std::memcpy(&number, buffer.data(), sizeof number);
  switch (type) {
    case kFtNumeric32: return std::to_string(number);
    case kFtBoolean: return number ? "true" : "false";
    case kFtMultipleChoice:
    case kFtString: return Json(buffer.data());
    case kFtStringW: return Json(Utf8(reinterpret_cast<const wchar_t*>(buffer.data())));
    case kFtFieldEmpty: return "null";
    default: return "{\"result\":" + std::to_string(type) + "}";
  }
}

void PrintValues(const ContentApi& api, const std::vector<FieldInfo>& fields, const std::string& file) {
  std::wstring path = Widen(HostPath(file));
  std::vector<char> buffer(64 * 1024);
  std::string delayed, values;
  bool pieces_agree = true;
  for (int pass = 0; pass < 2; ++pass) {
    for (int index = 0; index < static_cast<int>(fields.size()); ++index) {
      if (fields[index].type == kFtFullText) continue;
      const int type = api.value_w(path.data(), index, 0, buffer.data(),
                                   static_cast<int>(buffer.size()), pass == 0 ? kContentDelayIfSlow : 0);
      if (pass == 0) {
        if (type == kFtDelayed) delayed += (delayed.empty() ? "" : ",") + Json(fields[index].name);
        continue;
      }
      values += (values.empty() ? "" : ",") + Json(fields[index].name) + ":" + ValueJson(type, buffer);
    }
  }
  for (int index = 0; index < static_cast<int>(fields.size()); ++index) {
    if (fields[index].type != kFtFullText) continue;
    const std::wstring pieces = CharacterText(api, path, index, 1024);
    const std::wstring whole = CharacterText(api, path, index, 16 << 20);
    pieces_agree = pieces_agree && pieces == whole;
    values += (values.empty() ? "" : ",") + Json(fields[index].name) + ":" +
              (whole.empty() ? "null" : Json(Utf8(whole.data(), static_cast<int>(whole.size()))));
  }
  const std::string line = "{\"path\":" + Json(file) + ",\"delayed\":[" + delayed + "],\"fields\":{" +
                           values + "},\"pieces_agree\":" + (pieces_agree ? "true" : "false") + "}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

bool IsFontFile(const std::filesystem::path& path) {
  std::wstring ext = path.extension().wstring();
  for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
  return ext == L".ttf" || ext == L".ttc" || ext == L".otf" || ext == L".fon" || ext == L".pfm" ||
         ext == L".woff" || ext == L".woff2";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

int Bench(const ContentApi& api, const std::vector<FieldInfo>& fields, int rounds,
          const std::vector<std::string>& folders) {
  std::vector<std::wstring> files;
  for (const std::string& folder : folders) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(Widen(HostPath(folder)), error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
      if (it->is_regular_file(error) && IsFontFile(it->path())) files.push_back(it->path().wstring());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fputs("orvane-content-host: no font files found\n", stderr);
    return 2;
  }
  std::vector<std::string> utf8_files;
  for (const std::wstring& file : files) utf8_files.push_back(Utf8(file.c_str()));
  std::vector<char> buffer(64 * 1024);
  std::vector<double> content, reader;
  using Clock = std::chrono::steady_clock;
  // A round of each first warms the page cache and the plug-in.
  for (int round = 0; round <= rounds; ++round) {
    auto start = Clock::now();
    for (std::wstring file : files)
      for (int index = 0; index < static_cast<int>(fields.size()); ++index) {
        if (fields[index].type == kFtFullText) CharacterText(api, file, index, 1024);
        else api.value_w(file.data(), index, 0, buffer.data(), static_cast<int>(buffer.size()), 0);
      }
    const double content_us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    start = Clock::now();
    for (const std::string& file : utf8_files) {
      FontInfo info;
      ReadFontFileUtf8(file.c_str(), info);
    }
    const double reader_us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (round == 0) continue;
    content.push_back(content_us / files.size());
    reader.push_back(reader_us / files.size());
  }
  std::printf("files=%zu rounds=%d content_us_per_file=%.1f reader_us_per_file=%.1f ratio=%.2f\n",
              files.size(), rounds, Median(content), Median(reader), Median(content) / Median(reader));
  return 0;
}

void Usage() {
  std::fputs("usage: orvane-content-host [--dll PATH] [--settings INI] --fields\n"
             "       orvane-content-host [--dll PATH] [--settings INI] FILE...\n"
             "       orvane-content-host [--dll PATH] --bench ROUNDS DIR...\n",
             stderr);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll, settings;
  bool list = false;
  int bench = 0;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dll" && i + 1 < argc) dll = HostPath(argv[++i]);
    else if (arg == "--settings" && i + 1 < argc) settings = HostPath(argv[++i]);
    else if (arg == "--fields") list = true;
    else if (arg == "--bench" && i + 1 < argc) bench = std::max(1, std::atoi(argv[++i]));
    else if (arg.rfind("--", 0) == 0) {
      Usage();
      return 2;
    } else files.push_back(arg);
  }
  if (!list && files.empty()) {
    Usage();
    return 2;
  }
  if (dll.empty()) {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    dll = (std::filesystem::path(module).parent_path() /
           (sizeof(void*) == 8 ? "Orvane.wdx64" : "Orvane.wdx")).string();
  }
  ContentApi api;
  api.dll = LoadLibraryA(dll.c_str());
  if (!api.dll || !Bind(api.dll, "ContentGetDetectString", api.detect) ||
      !Bind(api.dll, "ContentGetSupportedField", api.supported) ||
      !Bind(api.dll, "ContentGetValueW", api.value_w) ||
      !Bind(api.dll, "ContentSetDefaultParams", api.set_params) ||
      !Bind(api.dll, "ContentPluginUnloading", api.unloading)) {
    std::fprintf(stderr, "orvane-content-host: cannot load %s or it lacks an export\n", dll.c_str());
    return 1;
  }
  // The host's record: size, interface version 2.10, the settings file.
  struct {
    int32_t size;
    uint32_t version_low, version_high;
    char settings_path[MAX_PATH];
  } params = {sizeof params, 10, 2, {}};
  std::snprintf(params.settings_path, sizeof params.settings_path, "%s", settings.c_str());
  api.set_params(&params);
  const std::vector<FieldInfo> fields = Fields(api);
  int status = 0;
  if (bench) {
    status = Bench(api, fields, bench, files);
  } else if (list) {
    char name[256], units[1024];
    for (int index = 0; index < static_cast<int>(fields.size()); ++index) {
      api.supported(index, name, units, sizeof units);
      std::printf("%d\t%s\t%d\t%s\n", index, name, fields[index].type, units);
    }
  } else {
    for (const std::string& file : files) PrintValues(api, fields, file);
  }
  std::fflush(stdout);
  api.unloading();
  FreeLibrary(api.dll);
  return status;
}
