// --bench-thumbnails: ListGetPreviewBitmapW for each file of a folder, against a
// floor that registers the font privately, makes one font of it and draws "Aa"
// and the family name into a bitmap of the same size. Alternated passes in one
// process, medians.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "tools/orvane_host/benchmarks.h"

namespace {

void FloorThumbnail(const std::string& file, const BenchFace& face, int width, int height) {
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
  const LOGFONTA lf = FloorLogFont(face, height / 2);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old_font = SelectObject(dc, font);
  RECT sample = {0, 0, width, height * 5 / 8}, name = {0, sample.bottom, width, height};
  DrawTextW(dc, L"Aa", 2, &sample, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  DrawTextA(dc, face.family.c_str(), -1, &name,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(font);
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

  std::vector<double> real_pass, floor_pass;
  std::vector<std::vector<double>> real_file(count), floor_file(count);
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
  auto floor = [&](bool timed) {
    double total = 0;
    for (size_t i = 0; i < count; ++i) {
      const LARGE_INTEGER start = Now();
      FloorThumbnail(files[i], faces[i], width, height);
      GdiFlush();
      const double ms = Milliseconds(start, Now());
      total += ms;
      if (timed) floor_file[i].push_back(ms);
    }
    if (timed) floor_pass.push_back(total);
  };

  real(false);
  floor(false);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (cycle % 2 == 0))
        real(true);
      else
        floor(true);
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
  std::printf("thumbnails_ms=%.2f floor_ms=%.2f ratio=%.3f files=%zu cycles=%d size=%dx%d "
              "failures=%d\n",
              real_ms, floor_ms, floor_ms > 0 ? real_ms / floor_ms : 0.0, count, cycles, width,
              height, failures);
  std::printf("the viewer's read and check alone (ReadAndCheckFontFile): %.2f ms a pass\n",
              Median(reading));
  PrintPerFile(files, "preview", real_file, floor_file);
  std::fflush(stdout);
  return failures ? 1 : 0;
}
