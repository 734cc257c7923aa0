// The benchmarks orvane-host runs instead of showing a font, and the timing
// helpers they share. Each prints its figures on standard output.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/orvane_host/plugin_api.h"

// The face the floors draw with: the viewed font's full name and weight.
struct BenchFace {
  std::string name;
  int weight = 400;
};

// --bench-paging: paints one screen of the glyph list, then pages through it;
// with a face, beside the system drawing the same glyphs into a bitmap.
void BenchPaging(HWND viewer, const BenchFace& face, unsigned first_code);

// --bench-start: `cycles` viewer starts alternated with starts of a skeleton of
// the same controls. Returns the exit status.
int BenchStart(HWND host, const Plugin& plugin, const std::string& file, const BenchFace& face,
               int cycles);

LARGE_INTEGER Now();
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);
double TicksToMs(LONGLONG ticks);
double Median(std::vector<double> values);
// Runs the posted messages a cycle left behind, outside the timed parts.
void PumpMessages();
void PaintNow(HWND window);
