// --bench-thumbnails: ListGetPreviewBitmapW for each file of a folder, against a
// floor that registers the font privately, makes one font of it and draws "Aa"
// and the family name into a bitmap of the same size, and against the fair floor,
// which draws the same two texts in two fonts, each at the size of its band as
// the thumbnail lays them out. Alternated passes in one process, medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "tools/orvane_host/benchmarks.h"

namespace {

void FloorThumbnail(const std::string& file, const BenchFace& face, int width, int height,
                    bool two_fonts) {
  AddFontResourceExA(file.c_str(), FR_PRIVATE, nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  // The thumbnail's bands: a margin of a sixteenth, the sample above, the name
  // below in three eighths of the rest, its font three quarters of its band.
  const int margin = std::min(width, height) / 16, inner = height - 2 * margin;
  const int sample_height = two_fonts ? inner - inner * 3 / 8 : height / 2;
  const LOGFONTA lf = FloorLogFont(face, sample_height);
  HFONT font = CreateFontIndirectA(&lf);
  HFONT name_font = nullptr;
  if (two_fonts) {
    const LOGFONTA name_lf = FloorLogFont(face, (inner * 3 / 8) * 3 / 4);
    name_font = CreateFontIndirectA(&name_lf);
  }
  HGDIOBJ old_font = SelectObject(dc, font);
  RECT sample = {0, 0, width, height * 5 / 8}, name = {0, sample.bottom, width, height};
  if (two_fonts) {
    sample = {margin, margin, width - margin, margin + sample_height};
    name = {margin, sample.bottom, width - margin, height - margin};
  }
  DrawTextW(dc, L"Aa", 2, &sample, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  if (name_font) SelectObject(dc, name_font);
  DrawTextA(dc, face.family.c_str(), -1, &name,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(font);
  if (name_font) DeleteObject(name_font);
  DeleteDC(dc);
  DeleteObject(bitmap);
  RemoveFontResourceExA(file.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace

int BenchThumbnails(const Plugin& plugin, const std::vector<std::string>& files, int width,
                    int height, int cycles) {
  if (!plugin.preview) {
    std::fprintf(stderr, "orvane-host: the plug-in has no ListGetPreviewBitmapW\n");
    return 1;
  }
  const size_t count = files.size();
  std::vector<BenchFace> faces(count);
  std::vector<std::wstring> wide(count);
  for (size_t i = 0; i < count; ++i) {
    if (!ReadBenchFace(files[i], faces[i])) {
      std::fprintf(stderr, "orvane-host: cannot read %s\n", files[i].c_str());
      return 1;
    }
    const int units = MultiByteToWideChar(CP_ACP, 0, files[i].c_str(), -1, nullptr, 0);
    wide[i].assign(static_cast<size_t>(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, files[i].c_str(), -1, wide[i].data(), units);
  }

  std::vector<double> real_pass, floor_pass, fair_pass;
  std::vector<std::vector<double>> real_file(count), floor_file(count), fair_file(count);
  int failures = 0;
  auto real = [&](bool timed) {
    double total = 0;
    for (size_t i = 0; i < count; ++i) {
      const LARGE_INTEGER start = Now();
      HBITMAP bitmap = plugin.preview(wide[i].data(), width, height, nullptr, 0);
      if (bitmap)
        DeleteObject(bitmap);  // the host owns the bitmap it is given
      else
        ++failures;
      GdiFlush();
      const double ms = Milliseconds(start, Now());
      total += ms;
      if (timed) real_file[i].push_back(ms);
    }
    if (timed) real_pass.push_back(total);
  };
  auto floor = [&](bool timed, bool two_fonts) {
    double total = 0;
    for (size_t i = 0; i < count; ++i) {
      const LARGE_INTEGER start = Now();
      FloorThumbnail(files[i], faces[i], width, height, two_fonts);
      GdiFlush();
      const double ms = Milliseconds(start, Now());
      total += ms;
      if (timed) (two_fonts ? fair_file : floor_file)[i].push_back(ms);
    }
    if (timed) (two_fonts ? fair_pass : floor_pass).push_back(total);
  };

  real(false);
  floor(false, false);
  floor(false, true);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 3; ++turn) {
      const int which = (turn + cycle) % 3;
      if (which == 0) real(true);
      else floor(true, which == 2);
    }
  }

  // The viewer's read and check of the same files (the floor reads nothing),
  // timed alone: the thumbnail makes it only for what it cannot read in parts
  // (colour fonts, a collection whose first face does not read).
  std::vector<double> reading;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const LARGE_INTEGER start = Now();
    for (const std::string& file : files) {
      FontInfo info;
      ReadAndCheckFontFile(file.c_str(), info);
    }
    reading.push_back(Milliseconds(start, Now()));
  }

  const double real_ms = Median(real_pass), floor_ms = Median(floor_pass);
  const double fair_ms = Median(fair_pass);
  std::printf("thumbnails_ms=%.2f floor_ms=%.2f ratio=%.3f files=%zu cycles=%d size=%dx%d "
              "failures=%d fair_floor_ms=%.2f fair_ratio=%.3f\n",
              real_ms, floor_ms, floor_ms > 0 ? real_ms / floor_ms : 0.0, count, cycles, width,
              height, failures, fair_ms, fair_ms > 0 ? real_ms / fair_ms : 0.0);
  std::printf("the viewer's read and check alone (ReadAndCheckFontFile): %.2f ms a pass\n",
              Median(reading));
  PrintPerFile(files, "preview", real_file, floor_file);
  std::printf("against the fair floor:\n");
  PrintPerFile(files, "preview", real_file, fair_file);
  std::fflush(stdout);
  return failures ? 1 : 0;
}
