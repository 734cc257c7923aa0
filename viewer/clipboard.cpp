#include "viewer/clipboard.h"

#include <richedit.h>

#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "fontfile/face_glyphs.h"
#include "viewer/block_coverage.h"
#include "viewer/features_page.h"
#include "viewer/glyph_view.h"

namespace {

struct GlobalFreeDeleter {
  void operator()(void* block) const {
    if (block) GlobalFree(block);
  }
};
// A global memory block owned until the clipboard takes it over.
using GlobalBlock = std::unique_ptr<void, GlobalFreeDeleter>;

GlobalBlock CopyToGlobal(const void* data, size_t bytes) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block) return block;
  void* target = GlobalLock(block.get());
  if (!target) return nullptr;
  std::memcpy(target, data, bytes);
  GlobalUnlock(block.get());
  return block;
}

// Another program may hold the clipboard for a moment: a few short tries, no more.
bool OpenClipboardBriefly(HWND owner) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

HWND PageView(const ViewerState& s) {
  if (s.page == kInfoPage) return s.info_view;
  if (s.page == kSamplePage) return s.sample_view;
  // Select all takes the Features page's text field (Copy gives the run instead).
  if (s.page == kFeaturesPage && s.features_view) return GetDlgItem(s.features_view, kFeaturesTextId);
  return nullptr;
}

// The view's selection as UTF-16 with CRLF line ends; empty for none.
std::wstring SelectedText(HWND view) {
  CHARRANGE range = {};
  SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMax <= range.cpMin) return {};
  // Room for every paragraph end growing to CRLF, and the terminator.
  std::vector<wchar_t> buffer(2 * static_cast<size_t>(range.cpMax - range.cpMin) + 1);
  GETTEXTEX request = {};
  request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  request.flags = GT_SELECTION | GT_USECRLF;
  request.codepage = 1200;  // UTF-16
  LRESULT length = SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                reinterpret_cast<LPARAM>(buffer.data()));
  if (length <= 0) return {};
  return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

bool CopyViewSelection(HWND view) {
  CHARRANGE range = {};
  SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMax <= range.cpMin) return false;
  // The control's own copy keeps the formatting, but it goes through OLE, which
  // a host thread without OLE started cannot do: then the plain text.
  const DWORD before = GetClipboardSequenceNumber();
  SendMessageA(view, WM_COPY, 0, 0);
  if (GetClipboardSequenceNumber() != before) return true;
  std::wstring text = SelectedText(view);
  return !text.empty() && PutTextOnClipboard(view, text);
}

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
  GlobalBlock wide = CopyToGlobal(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  if (!wide) return false;
  GlobalBlock narrow;
  BOOL lossy = FALSE;
  int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (bytes > 0 && !lossy) {
    std::string ansi(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), bytes, nullptr, nullptr))
      narrow = CopyToGlobal(ansi.data(), ansi.size());
  }
  if (!OpenClipboardBriefly(owner)) return false;
  bool done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, wide.get());
  if (done) {
    wide.release();  // the clipboard owns it now
    if (narrow && SetClipboardData(CF_TEXT, narrow.get())) narrow.release();
  }
  CloseClipboard();
  return done;
}

std::optional<std::wstring> CellCharacter(const ViewerState& s, int cell) {
  if (cell < 0 || cell > static_cast<int>(kLastCodePoint)) return std::nullopt;
  if (cell > 0xFFFF) {
    // Beyond the first plane a character is a surrogate pair.
    const auto offset = static_cast<unsigned>(cell - 0x10000);
    return std::wstring{static_cast<wchar_t>(0xD800 + (offset >> 10)),
                        static_cast<wchar_t>(0xDC00 + (offset & 0x3FF))};
  }
  const auto code = static_cast<wchar_t>(cell);
  if (code >= 0xD800 && code <= 0xDFFF) return std::nullopt;
  if (code >= 0x100) return std::wstring(1, code);
  const uint32_t character = ByteCharacter(s, static_cast<uint8_t>(code));
  return std::wstring(1, character ? static_cast<wchar_t>(character) : code);
}

bool CopyFromPage(const ViewerState& s) {
  if (s.page == kGlyphsPage && s.glyph_view) {
    // A glyph: its first character, else its name.
    const int glyph = s.marked_code >= 0 ? s.marked_code : s.zoom_code;
    const FaceGlyphs* glyphs = ShownGlyphs(s);
    if (glyph < 0 || !glyphs || static_cast<uint32_t>(glyph) >= glyphs->glyph_count) return false;
    const std::span<const CodeRange> codes = CharactersOf(glyphs->characters, glyph);
    // A code point of the face's map, not a byte cell: code points alone.
    std::optional<std::wstring> text;
    if (!codes.empty() && codes[0].first >= 0x100)
      text = CellCharacter(s, static_cast<int>(codes[0].first));
    else if (!codes.empty())
      text = std::wstring(1, static_cast<wchar_t>(codes[0].first));
    if (!text) {
      const std::string name = GlyphName(glyphs->names, glyph);
      text = std::wstring(name.begin(), name.end());
    }
    return PutTextOnClipboard(s.viewer, *text);
  }
  if (s.page == kGlyphsPage) {
    // A cell marked by a search stands for the character until the mark goes.
    std::optional<std::wstring> text =
        CellCharacter(s, s.marked_code >= 0 ? s.marked_code : s.zoom_code);
    return text && !text->empty() && (*text)[0] != L'\0' &&
           PutTextOnClipboard(s.viewer, *text);
  }
  if (s.page == kFeaturesPage) {
    const std::wstring run = FeaturesRunText(s);
    return !run.empty() && PutTextOnClipboard(s.viewer, run);
  }
  HWND view = PageView(s);
  return view && CopyViewSelection(view);
}

bool SelectAllOnPage(const ViewerState& s) {
  HWND view = PageView(s);
  if (!view) return false;
  SendMessageA(view, EM_SETSEL, 0, -1);
  return true;
}
