// --bench-keystroke: on the Features page, what a keystroke in its text field
// costs the page (the line of 200 characters read, reshaped by HarfBuzz and
// redrawn with its waterfall) against a redraw of the same glyphs alone, each to
// the painted page; and, apart, a whole keystroke as the text field takes it
// (its text replaced, the reshape its notice starts, the field and the page
// repainted). Alternated rounds in one process, medians.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane_host/benchmarks.h"
#include "tools/orvane_host/features_input.h"

namespace {

// The sample sentence and more, cut to 200 characters.
std::wstring Line() {
  std::wstring line;
  while (line.size() < 200) line += L"The quick brown fox jumps over the lazy dog; office affine 0123. ";
  return line.substr(0, 200);
}

}  // namespace

int BenchKeystroke(HWND viewer, int cycles) {
  HWND page = GetDlgItem(viewer, kFeaturesViewId);
  HWND edit = FeaturesControl(viewer, kFeaturesTextId);
  if (!page || !edit || !IsWindowVisible(page)) {
    std::fprintf(stderr, "orvane-host: --bench-keystroke needs the Features page shown "
                         "(FeaturesPage=1 and Page=4 in the settings)\n");
    return 1;
  }
  std::wstring typed = Line();
  TypeFeaturesText(viewer, typed);
  PaintNow(page);
  PumpMessages();
  std::vector<double> reshape_ms, redraw_ms, typing_ms;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 3; ++turn) {
      const int what = (turn + cycle) % 3;
      const LARGE_INTEGER start = Now();
      if (what == 0) {
        // The notice the field sends after a keystroke.
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kFeaturesTextId, EN_CHANGE),
                     reinterpret_cast<LPARAM>(edit));
      } else if (what == 1) {
        InvalidateRect(page, nullptr, FALSE);
      } else {
        typed.back() = typed.back() == L'x' ? L'y' : L'x';
        TypeFeaturesText(viewer, typed);
      }
      PaintNow(page);
      (what == 0 ? reshape_ms : what == 1 ? redraw_ms : typing_ms)
          .push_back(Milliseconds(start, Now()));
      PumpMessages();
    }
  }
  const double keystroke = Median(reshape_ms), redraw = Median(redraw_ms);
  std::printf("keystroke_ms=%.2f redraw_ms=%.2f ratio=%.2f typing_ms=%.2f\n", keystroke, redraw,
              redraw > 0 ? keystroke / redraw : 0.0, Median(typing_ms));
  return 0;
}
