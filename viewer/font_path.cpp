#include "viewer/font_path.h"

#include <windows.h>

namespace {

// The conversion flags the code page allows: best-fit letters ("a" for "α")
// would name another file, so they are turned off where possible; the UTF-8
// code page accepts no such flag.
DWORD NoBestFitFlags() { return GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS; }

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int count = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_ACP, NoBestFitFlags(), text.data(), count, nullptr, 0,
                                 nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, NoBestFitFlags(), text.data(), count, out.data(), size, nullptr,
                      nullptr);
  return out;
}

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int count = static_cast<int>(text.size());
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), count, nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), count, out.data(), size);
  return out;
}

}  // namespace

FontPath FontPathFromWide(const wchar_t* path) {
  FontPath out;
  if (!path) return out;
  std::wstring wide(path);
  out.ansi = ToAnsi(wide);
  if (FromAnsi(out.ansi) != wide) out.wide = std::move(wide);
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int count = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), count, nullptr, 0,
                                 nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  if (!WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), count, out.data(), size,
                           nullptr, nullptr))
    return {};
  return out;
}
