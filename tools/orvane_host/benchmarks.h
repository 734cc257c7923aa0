// The benchmarks orvane-host runs instead of showing a font, and the timing
// helpers they share. Each prints its figures on standard output.
#pragma once

#include <windows.h>

#include <cstdint>

#include <string>
#include <vector>

#include "tools/orvane_host/plugin_api.h"

// The face the floors draw with: the viewed font's full name and weight, as the
// viewer makes its fonts; the family name is what a thumbnail writes.
struct BenchFace {
  std::string name;
  int weight = 400;
  bool italic = false;
  std::string family;
};

// --bench-paging: paints one screen of the glyph list, then pages through it;
// with a face, beside the system drawing the same glyphs into a bitmap: the
// block's characters from `first_code`, or with a glyph count (the glyph view)
// the glyphs by index from 0.
void BenchPaging(HWND viewer, const BenchFace& face, unsigned first_code, unsigned glyph_count = 0);

// --bench-start: `cycles` viewer starts alternated with starts of a skeleton of
// the same controls. Returns the exit status.
int BenchStart(HWND host, const Plugin& plugin, const std::string& file, const BenchFace& face,
               int cycles);

// --bench-browse: `cycles` passes of ListLoadNext through `files` (the first is
// shown before), each file to its painted Glyphs page, alternated with passes of
// a floor that registers each font, makes its three fonts and repaints the same
// list without the viewer. Returns the exit status.
int BenchBrowse(HWND host, HWND viewer, const Plugin& plugin, const std::vector<std::string>& files,
                int cycles);

// --bench-thumbnails: `cycles` passes of ListGetPreviewBitmapW over `files`,
// alternated with passes of a floor that registers each font, makes one font
// and draws "Aa" and the name into a bitmap of the same size.
int BenchThumbnails(const Plugin& plugin, const std::vector<std::string>& files, int width,
                    int height, int cycles);

// --bench-switch: in a collection of variable fonts, `cycles` switches between
// two kept instances against as many switches between two faces, each to the
// painted Glyphs page. Returns the exit status.
// Also the face switch against its floor: the three display fonts of the other
// face made (the previous three deleted) and the Glyphs page repainted.
int BenchSwitch(HWND host, HWND viewer, const std::string& file, int cycles);

// --bench-keystroke: on the Features page, `cycles` keystrokes in its text field
// (a line of 200 characters reshaped and redrawn with its waterfall) against as
// many redraws of the same glyphs. Returns the exit status.
int BenchKeystroke(HWND viewer, int cycles);

// The floors' shared parts (bench_floor.cpp).
bool ReadBenchFace(const std::string& file, BenchFace& face, uint32_t index = 0);
LOGFONTA FloorLogFont(const BenchFace& face, int height);
// The viewer's label font (the menu font) and its line height.
struct LabelFont {
  HFONT font = nullptr;
  int line_height = 0;
};
LabelFont CreateLabelFont(HDC dc);
// The viewer's three fonts of a face (glyphs, sample, zoom: 24, 16 and 96 points
// at the DC's dpi), with the glyph font's signature and metrics read as the
// viewer reads them.
struct ThreeFonts {
  HFONT fonts[3] = {};
  TEXTMETRICA glyph_metrics = {};
};
ThreeFonts MakeThreeFonts(HDC dc, const BenchFace& face);
// A window class of this program for a floor's windows.
void RegisterFloorClass(const char* name, WNDPROC procedure, UINT style);
// Sixteen cells from `first_code` across `row`, label above glyph, each framed
// by the pen and brush selected into `dc`.
void DrawFloorRow(HDC dc, RECT row, unsigned first_code, const LabelFont& label, HFONT glyph);
// The same of `cells` glyphs by index from `first_glyph`, each labelled with its
// index; `glyph_height` is the glyph font's line height.
void DrawFloorIndexRow(HDC dc, RECT row, unsigned first_glyph, unsigned cells,
                       const LabelFont& label, HFONT glyph, int glyph_height);

LARGE_INTEGER Now();
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);
double TicksToMs(LONGLONG ticks);
double Median(std::vector<double> values);
// One line per file: its name and the medians of the two sides' times.
void PrintPerFile(const std::vector<std::string>& files, const char* real_name,
                  const std::vector<std::vector<double>>& real,
                  const std::vector<std::vector<double>>& floor);
// Runs the posted messages a cycle left behind, outside the timed parts.
void PumpMessages();
void PaintNow(HWND window);
