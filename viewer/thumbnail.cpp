// A thumbnail of a font file, "Aa" (or two characters the font has) large with
// the family name below, black on white. The host may ask from a background
// thread: everything here lives on the stack of the call but the buffers files
// are read into, which calls hand on to each other under a lock.
#include "viewer/thumbnail.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "fontfile/char_map.h"
#include "fontfile/font_info.h"
#include "fontfile/font_parts.h"
#include "viewer/color_glyphs.h"
#include "viewer/font_path.h"

namespace {

// Larger requests are mistakes, not thumbnails: a 4096 x 4096 bitmap is 64 MB.
constexpr int kMaxSide = 4096;
// Below this many pixels a name line is no longer legible.
constexpr int kMinNameHeight = 7;

struct DcDeleter {
  void operator()(HDC dc) const {
    if (dc) DeleteDC(dc);
  }
};
struct GdiObjectDeleter {
  void operator()(void* object) const {
    if (object) DeleteObject(object);
  }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// A private registration of a font file, or of a web font's decoded bytes
// handed over from memory; removed when the record goes.
struct FontRegistration {
  explicit FontRegistration(std::string name) : ansi_name(std::move(name)) {
    added = AddFontResourceExA(ansi_name.c_str(), FR_PRIVATE, nullptr) > 0;
  }
  explicit FontRegistration(std::wstring name) : wide_name(std::move(name)), wide(true) {
    added = AddFontResourceExW(wide_name.c_str(), FR_PRIVATE, nullptr) > 0;
  }
  explicit FontRegistration(ByteView bytes) {
    DWORD fonts = 0;
    memory = AddFontMemResourceEx(const_cast<uint8_t*>(bytes.data), bytes.size, nullptr, &fonts);
    added = memory != nullptr;
  }
  ~FontRegistration() {
    if (!added) return;
    if (memory)
      RemoveFontMemResourceEx(memory);
    else if (wide)
      RemoveFontResourceExW(wide_name.c_str(), FR_PRIVATE, nullptr);
    else
      RemoveFontResourceExA(ansi_name.c_str(), FR_PRIVATE, nullptr);
  }
  FontRegistration(const FontRegistration&) = delete;
  FontRegistration& operator=(const FontRegistration&) = delete;
  std::string ansi_name;
  std::wstring wide_name;
  HANDLE memory = nullptr;
  bool wide = false;
  bool added = false;
};

// A web font is registered from its decoded bytes, every other font by its path.
template <typename Char>
std::unique_ptr<FontRegistration> Register(FontFileCheck& check,
                                           const std::basic_string<Char>& path) {
  if (check.decoded().size) return std::make_unique<FontRegistration>(check.decoded());
  return std::make_unique<FontRegistration>(FontResourceName(path));
}

bool SizeAccepted(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

std::wstring MultiByteToWide(UINT code_page, const std::string& text) {
  int units = MultiByteToWideChar(code_page, 0, text.c_str(), -1, nullptr, 0);
  if (units <= 0) return {};
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(code_page, 0, text.c_str(), -1, out.data(), units);
  out.resize(static_cast<size_t>(units) - 1);
  return out;
}

// The font as the viewer makes it: face name, weight, italic.
LOGFONTA SampleLogFont(const FontInfo& info) {
  LOGFONTA lf = {};
  lf.lfWeight = static_cast<LONG>(info.weight);
  lf.lfItalic = info.italic;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  if (info.names[kNameFull]) {
    size_t length = std::min(info.names[kNameFull]->size(), sizeof lf.lfFaceName - 1);
    std::memcpy(lf.lfFaceName, info.names[kNameFull]->data(), length);
  }
  return lf;
}

SIZE Extent(HDC dc, HFONT font, const std::wstring& text) {
  SIZE extent = {};
  HGDIOBJ previous = SelectObject(dc, font);
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  return extent;
}

// The largest font of `lf`'s face whose line of `text` fits width x height; never
// below `min_height`, which the caller then clips or shortens. `first_cell`, when
// given, is where the search starts instead of `height`: a guess from a font
// already made spares making one that is too large.
Font FitFont(HDC dc, LOGFONTA lf, const std::wstring& text, int width, int height,
             int min_height, int first_cell = 0) {
  int cell = std::max(height, 1);
  if (first_cell > 0) cell = std::max(min_height, std::min(cell, first_cell));
  Font font;
  for (int attempt = 0; attempt < 4; ++attempt) {
    lf.lfHeight = cell;  // positive: the cell height, which is what has to fit
    font.reset(CreateFontIndirectA(&lf));
    if (!font) return font;
    SIZE extent = Extent(dc, font.get(), text);
    if (extent.cx <= width || cell <= min_height) break;
    int smaller = static_cast<int>(static_cast<long long>(cell) * width / extent.cx);
    cell = std::max(min_height, std::min(smaller, cell - 1));
  }
  return font;
}

// The cell at which `text` would about fill `width`, from its width in `font` (made
// with a positive cell height): a line's width grows with its cell. 0 when unknown.
int CellToFit(HDC dc, HFONT font, const std::wstring& text, int width) {
  LOGFONTA made = {};
  if (!GetObjectA(font, sizeof made, &made) || made.lfHeight <= 0) return 0;
  const SIZE extent = Extent(dc, font, text);
  if (extent.cx <= 0) return 0;
  return static_cast<int>(static_cast<long long>(made.lfHeight) * width / extent.cx);
}

std::wstring FamilyName(const FontInfo& info) {
  const FontText& name =
      info.names[kNameFamily] ? info.names[kNameFamily] : info.names[kNameFull];
  return name ? MultiByteToWide(CP_ACP, *name) : std::wstring();
}

// A character worth showing: neither a control, a blank nor a combining mark.
bool Showable(uint32_t code) {
  if (code < 0x21 || (code >= 0x7F && code <= 0xA0) || code > 0xFFFF) return false;
  if (code >= 0x0300 && code <= 0x036F) return false;
  if ((code >= 0x2000 && code <= 0x200F) || (code >= 0x2028 && code <= 0x202F)) return false;
  if (code >= 0xD800 && code <= 0xDFFF) return false;
  return code != 0x3000 && code != 0xFEFF && (code < 0xF000 || code > 0xF020);
}

// "Aa" when the font has both letters; else the first pair it has of a few
// scripts' letters; else its first two showable characters. A font without "A"
// would otherwise show two empty boxes.
std::wstring SampleText(const CharCoverage& coverage) {
  if (coverage.kind == CoverageKind::kUnknown || coverage.kind == CoverageKind::kBytes)
    return L"Aa";
  // A symbol map holds its bytes at U+F000; the system finds them from the bytes' values.
  const uint32_t base = coverage.kind == CoverageKind::kSymbol ? 0xF000 : 0;
  static const wchar_t* const kPairs[] = {L"Aa", L"\u0416\u0436", L"\u03A9\u03C9",
                                          L"\u6587\u5B57", L"\u3042\u30A2",
                                          L"\uAC00\uB098"};
  for (const wchar_t* pair : kPairs)
    if (HasCodePoint(coverage, base + pair[0]) && HasCodePoint(coverage, base + pair[1]))
      return base ? std::wstring{wchar_t(base + pair[0]), wchar_t(base + pair[1])} : pair;
  std::wstring text;
  // Nothing above U+FFFF is showable, so no walk goes through a plane's worth.
  for (const CodeRange& range : coverage.ranges) {
    if (text.size() == 2 || range.first > 0xFFFF) break;
    for (uint32_t code = range.first; code <= std::min<uint32_t>(range.last, 0xFFFF) &&
                                      text.size() < 2;
         ++code)
      if (Showable(code)) text += static_cast<wchar_t>(code);
  }
  return text.size() == 2 ? text : L"Aa";
}

void DrawLine(HDC dc, HFONT font, const std::wstring& text, RECT band, UINT extra) {
  HGDIOBJ previous = SelectObject(dc, font);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &band,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | extra);
  SelectObject(dc, previous);
}

// "Aa" in the upper part of the box, the family name in the lower one; the name
// goes when the box is too low for it.
void DrawSample(HDC dc, const FontInfo& info, ColorGlyphFont* colour, int width, int height) {
  const int margin = std::min(width, height) / 16;
  const RECT inner = {margin, margin, width - margin, height - margin};
  const int inner_width = inner.right - inner.left, inner_height = inner.bottom - inner.top;
  const LOGFONTA lf = SampleLogFont(info);
  const std::wstring sample = SampleText(info.coverage);
  std::wstring name = FamilyName(info);

  int sample_height = inner_height;
  if (!name.empty() && inner_height * 3 / 8 >= kMinNameHeight)
    sample_height = inner_height - inner_height * 3 / 8;
  else
    name.clear();

  Font sample_font = FitFont(dc, lf, sample, inner_width, sample_height, 1);
  if (!sample_font) return;
  RECT sample_band = {inner.left, inner.top, inner.right, inner.top + sample_height};
  if (!colour || !DrawColorSample(dc, *colour, info.coverage, lf, sample_band))
    DrawLine(dc, sample_font.get(), sample, sample_band, 0);
  if (name.empty()) return;

  // A symbol font writes its name in symbols: the name then takes the system's
  // interface face.
  HGDIOBJ previous = SelectObject(dc, sample_font.get());
  const bool symbol = GetTextCharset(dc) == SYMBOL_CHARSET;
  SelectObject(dc, previous);
  LOGFONTA name_lf = lf;
  if (symbol) {
    LOGFONTA ui = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof ui, &ui);
    std::memcpy(name_lf.lfFaceName, ui.lfFaceName, sizeof name_lf.lfFaceName);
    name_lf.lfWeight = FW_NORMAL;
    name_lf.lfItalic = 0;
  }
  RECT name_band = {inner.left, sample_band.bottom, inner.right, inner.bottom};
  const int name_height = (name_band.bottom - name_band.top) * 3 / 4;
  // Measured in the sample's font, the name tells nearly which cell fits: most
  // names then take one font instead of two.
  const int guess = symbol ? 0 : CellToFit(dc, sample_font.get(), name, inner_width);
  Font name_font =
      FitFont(dc, name_lf, name, inner_width, name_height, kMinNameHeight, guess);
  if (name_font) DrawLine(dc, name_font.get(), name, name_band, DT_END_ELLIPSIS);
}

// A bitmap in the screen's format. Where the screen has 32 bits a pixel, the
// bitmap is made without asking for the screen's DC: under Wine, GetDC and
// ReleaseDC cost a thumbnail as much as reading its font.
Bitmap ScreenBitmap(HDC memory_dc, int width, int height) {
  if (GetDeviceCaps(memory_dc, BITSPIXEL) == 32 && GetDeviceCaps(memory_dc, PLANES) == 1)
    return Bitmap(CreateBitmap(width, height, 1, 32, nullptr));
  HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
  ReleaseDC(nullptr, screen);
  return bitmap;
}

HBITMAP DrawPreview(const FontInfo& info, ColorGlyphFont* colour, int width, int height) {
  MemoryDc dc(CreateCompatibleDC(nullptr));  // compatible with the screen
  if (!dc) return nullptr;
  Bitmap bitmap = ScreenBitmap(dc.get(), width, height);
  if (!bitmap) return nullptr;
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  if (!previous) return nullptr;
  RECT all = {0, 0, width, height};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc.get(), RGB(0, 0, 0));
  SetBkMode(dc.get(), TRANSPARENT);
  DrawSample(dc.get(), info, colour, width, height);
  SelectObject(dc.get(), previous);
  return bitmap.release();
}

// A file opened for reading, closed when the record goes.
struct OpenedFile {
  explicit OpenedFile(const std::wstring& path)
      : handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OpenedFile() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;
  HANDLE handle;
};

// The buffers the parts of a font are read into, kept from one thumbnail for the
// next: under Wine a fresh block of a few hundred kilobytes (a CJK font's
// character map) costs ten times what reading the bytes into a used one does.
// The host asks from several threads at once; each read takes its own.
constexpr size_t kKeptBuffers = 4;
constexpr size_t kKeptBufferSize = 1 << 20;  // a web font read whole is not kept
SRWLOCK g_buffers_lock = SRWLOCK_INIT;
std::vector<std::vector<uint8_t>> g_buffers;

// The buffers of one read, handed back to the kept ones when it is over.
struct PartBuffers {
  std::vector<std::vector<uint8_t>> taken;
  PartBuffers() = default;
  PartBuffers(const PartBuffers&) = delete;
  PartBuffers& operator=(const PartBuffers&) = delete;
  ~PartBuffers() {
    AcquireSRWLockExclusive(&g_buffers_lock);
    for (std::vector<uint8_t>& buffer : taken)
      if (g_buffers.size() < kKeptBuffers && buffer.capacity() <= kKeptBufferSize)
        g_buffers.push_back(std::move(buffer));
    ReleaseSRWLockExclusive(&g_buffers_lock);
  }
  std::vector<uint8_t>& Take() {
    std::vector<uint8_t> buffer;
    AcquireSRWLockExclusive(&g_buffers_lock);
    if (!g_buffers.empty()) {
      buffer = std::move(g_buffers.back());
      g_buffers.pop_back();
    }
    ReleaseSRWLockExclusive(&g_buffers_lock);
    return taken.emplace_back(std::move(buffer));
  }
};

// The font read with a few ReadFile calls rather than mapped (see ReadSampleFont);
// nothing when that cannot tell.
std::optional<FontFileCheck> ReadFontParts(const std::wstring& path, FontInfo& info) {
  if (path.empty()) return std::nullopt;
  const OpenedFile file(path);
  LARGE_INTEGER size = {};
  if (file.handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.handle, &size) ||
      size.QuadPart > static_cast<LONGLONG>(UINT32_MAX))
    return std::nullopt;
  PartBuffers buffers;
  // Moved to and read from the file's position: under Wine a read at an offset
  // given with it costs more than the move and the read.
  uint32_t position = 0;
  const ReadFilePart read = [&](uint32_t offset, uint32_t count) -> std::optional<ByteView> {
    std::vector<uint8_t>& out = buffers.Take();
    out.resize(count);
    LARGE_INTEGER to = {};
    to.QuadPart = offset;
    if (offset != position && !SetFilePointerEx(file.handle, to, nullptr, FILE_BEGIN))
      return std::nullopt;
    DWORD got = 0;
    const bool read_all =
        !count || (ReadFile(file.handle, out.data(), count, &got, nullptr) && got == count);
    position = offset + got;
    if (!read_all) return std::nullopt;
    return ByteView{out.data(), count};
  };
  return ReadSampleFont(static_cast<uint32_t>(size.QuadPart), read, info);
}

// The thumbnail of the file at `path` (the export's own form, which registers
// it; `wide` the same path in UTF-16). Read first: a file the readers reject, or
// whose tables leave it, is never registered. A collection shows its first face
// that reads.
template <typename Char>
HBITMAP Thumbnail(const std::basic_string<Char>& path, const std::wstring& wide, int width,
                  int height) {
  FontInfo info;
  std::optional<FontFileCheck> check = ReadFontParts(wide, info);
  if (!check) {
    // Read as the viewer reads it, from the mapped file.
    if constexpr (std::is_same_v<Char, char>) {
      check = ReadAndCheckFontFile(path.c_str(), info, 0, FaceFallback::kFirstReadable);
    } else {
      const std::string utf8 = WideToUtf8(path);
      check = ReadAndCheckFontFileUtf8(utf8.c_str(), info, 0, FaceFallback::kFirstReadable);
    }
  }
  if (!check->recognized || !check->sound) return nullptr;
  const auto registration = Register(*check, path);
  if (!registration->added) return nullptr;
  // The colour tables are the face's read, from the font the read opened: a file
  // read in parts has none.
  const auto colour = OpenColorGlyphFont(check->font, info.face);
  return DrawPreview(info, colour.get(), width, height);
}

}  // namespace

HBITMAP ThumbnailOf(const std::string& ansi_path, int width, int height) {
  if (ansi_path.empty() || !SizeAccepted(width, height)) return nullptr;
  return Thumbnail(ansi_path, MultiByteToWide(CP_ACP, ansi_path), width, height);
}

HBITMAP ThumbnailOf(const std::wstring& path, int width, int height) {
  if (path.empty() || !SizeAccepted(width, height)) return nullptr;
  // A path UTF-8 cannot spell is refused, however it is read.
  if (WideToUtf8(path).empty()) return nullptr;
  return Thumbnail(path, path, width, height);
}
