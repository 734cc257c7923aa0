// What the benchmarks' floors share: the viewed font's face as the viewer reads
// it, the fonts the viewer would make of it, and a glyph row drawn by the system
// as the viewer's grid draws it.
#include <cstddef>
#include <cwchar>

#include "fontfile/font_info.h"
#include "tools/orvane_host/benchmarks.h"

bool ReadBenchFace(const std::string& file, BenchFace& face, uint32_t index) {
  FontInfo info;
  if (!ReadFontFile(file.c_str(), info, index)) return false;
  face.name = info.names[kNameFull].value_or("");
  face.family = info.names[kNameFamily].value_or(face.name);
  face.weight = static_cast<int>(info.weight);
  face.italic = info.italic != 0;
  return true;
}

LOGFONTA FloorLogFont(const BenchFace& face, int height) {
  LOGFONTA lf = {};
  lf.lfHeight = height;
  lf.lfWeight = face.weight;
  lf.lfItalic = face.italic;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, face.name.c_str(), LF_FACESIZE);
  return lf;
}

LabelFont CreateLabelFont(HDC dc) {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  LabelFont label;
  label.font = CreateFontIndirectA(&metrics.lfMenuFont);
  HGDIOBJ previous = SelectObject(dc, label.font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, previous);
  label.line_height = tm.tmHeight + tm.tmExternalLeading;
  return label;
}

ThreeFonts MakeThreeFonts(HDC dc, const BenchFace& face) {
  ThreeFonts made;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  LOGFONTA lf = FloorLogFont(face, 0);
  const int points[3] = {24, 16, 96};
  for (int i = 0; i < 3; ++i) {
    lf.lfHeight = -MulDiv(points[i], dpi, 72);
    made.fonts[i] = CreateFontIndirectA(&lf);
  }
  HGDIOBJ previous = SelectObject(dc, made.fonts[0]);
  FONTSIGNATURE signature;
  GetTextCharsetInfo(dc, &signature, 0);
  GetTextMetricsA(dc, &made.glyph_metrics);
  SelectObject(dc, previous);
  return made;
}

void RegisterFloorClass(const char* name, WNDPROC procedure, UINT style) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

void DrawFloorRow(HDC dc, RECT row, unsigned first_code, const LabelFont& label, HFONT glyph) {
  const int width = (row.right - row.left) / 16;
  RECT cell = {row.left, row.top, row.left + width, row.bottom};
  for (unsigned column = 0; column < 16; ++column) {
    const unsigned code = first_code + column;
    wchar_t text[8];
    swprintf(text, 8, L"%04X", code);
    SelectObject(dc, label.font);
    DrawTextW(dc, text, -1, &cell, DT_SINGLELINE | DT_CENTER);
    SelectObject(dc, glyph);
    cell.top += label.line_height;
    // Below 256 a byte in the font's character set, as the grid draws it.
    if (code >= 0x100) {
      wchar_t unit = static_cast<wchar_t>(code);
      DrawTextW(dc, &unit, 1, &cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    } else {
      char byte = static_cast<char>(code);
      DrawTextA(dc, &byte, 1, &cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    cell.top -= label.line_height;
    Rectangle(dc, cell.left, cell.top, cell.right + 1, cell.bottom + 1);
    cell.left = cell.right;
    cell.right += width;
  }
}

void DrawFloorIndexRow(HDC dc, RECT row, unsigned first_glyph, unsigned cells,
                       const LabelFont& label, HFONT glyph, int glyph_height) {
  const int width = (row.right - row.left) / 16;
  RECT cell = {row.left, row.top, row.left + width, row.bottom};
  for (unsigned column = 0; column < cells && column < 16; ++column) {
    WORD index = static_cast<WORD>(first_glyph + column);
    wchar_t text[8];
    swprintf(text, 8, L"%u", static_cast<unsigned>(index));
    SelectObject(dc, label.font);
    DrawTextW(dc, text, -1, &cell, DT_SINGLELINE | DT_CENTER);
    SelectObject(dc, glyph);
    // A glyph by index has no text to centre: measured, then placed.
    RECT box = {cell.left, cell.top + label.line_height, cell.right, cell.bottom};
    SIZE size = {};
    GetTextExtentPointI(dc, &index, 1, &size);
    ExtTextOutW(dc, box.left + (box.right - box.left - size.cx) / 2,
                box.top + (box.bottom - box.top - glyph_height) / 2, ETO_GLYPH_INDEX | ETO_CLIPPED,
                &box, reinterpret_cast<LPCWSTR>(&index), 1, nullptr);
    Rectangle(dc, cell.left, cell.top, cell.right + 1, cell.bottom + 1);
    cell.left = cell.right;
    cell.right += width;
  }
}
