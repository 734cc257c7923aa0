// --bench-switch: in a collection of variable fonts, switching the instance
// shown against switching the face shown, each as the user does it (the
// selector's choice and its notice) to the painted Glyphs page. The instance
// switches go back and forth between two named instances whose static fonts
// the viewer keeps after their first build; the first builds are timed apart.
// The face switch is also set against its floor: a bare re-creation of the
// display fonts (the three fonts of the other face made, the previous three
// deleted, the glyph font's metrics read) and the Glyphs page repainted.
// Alternated rounds in one process, medians.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane_host/benchmarks.h"

namespace {

// One choice in a selector, painted. Milliseconds.
double Choose(HWND host, HWND viewer, int id, int item) {
  HWND combo = GetDlgItem(viewer, id);
  const LARGE_INTEGER start = Now();
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  PaintNow(host);
  const double ms = Milliseconds(start, Now());
  PumpMessages();
  return ms;
}

// The floor of a face switch to `face`. Milliseconds.
double RemakeFonts(HWND host, HWND viewer, const BenchFace& face, ThreeFonts& fonts) {
  const LARGE_INTEGER start = Now();
  for (HFONT& font : fonts.fonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
  HDC dc = GetDC(viewer);
  fonts = MakeThreeFonts(dc, face);
  ReleaseDC(viewer, dc);
  InvalidateRect(GetDlgItem(viewer, kGlyphListId), nullptr, TRUE);
  PaintNow(host);
  const double ms = Milliseconds(start, Now());
  PumpMessages();
  return ms;
}

}  // namespace

int BenchSwitch(HWND host, HWND viewer, const std::string& file, int cycles) {
  HWND instances = GetDlgItem(viewer, kInstanceComboId);
  HWND faces = GetDlgItem(viewer, kFaceComboId);
  auto count = [](HWND combo) {
    return combo ? static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)) : 0;
  };
  const int instance_count = count(instances), face_count = count(faces);
  if (instance_count < 3 || face_count < 2) {
    std::fprintf(stderr, "orvane-host: --bench-switch needs a collection of variable fonts "
                         "with two named instances (%d faces, %d instances)\n",
                 face_count, instance_count);
    return 1;
  }
  PaintNow(host);
  PumpMessages();
  // The first named instance and the last, which in a weight axis lie furthest apart.
  const int a = 1, b = instance_count - 1;
  const double build_a = Choose(host, viewer, kInstanceComboId, a);
  const double build_b = Choose(host, viewer, kInstanceComboId, b);
  // Back to the default for the faces: a face switch keeps the instance by name.
  Choose(host, viewer, kInstanceComboId, 0);
  BenchFace bench_faces[2];
  if (!ReadBenchFace(file, bench_faces[0], 0) || !ReadBenchFace(file, bench_faces[1], 1)) {
    std::fprintf(stderr, "orvane-host: cannot read the faces of %s\n", file.c_str());
    return 1;
  }
  ThreeFonts floor_fonts;
  std::vector<double> instance_ms, face_ms, floor_ms;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 3; ++turn) {
      const int which = (turn + cycle) % 3;
      if (which == 0) {
        Choose(host, viewer, kInstanceComboId, a);
        instance_ms.push_back(Choose(host, viewer, kInstanceComboId, b));
        Choose(host, viewer, kInstanceComboId, 0);
      } else if (which == 1) {
        face_ms.push_back(Choose(host, viewer, kFaceComboId, 1));
        face_ms.push_back(Choose(host, viewer, kFaceComboId, 0));
      } else {
        floor_ms.push_back(RemakeFonts(host, viewer, bench_faces[1], floor_fonts));
        floor_ms.push_back(RemakeFonts(host, viewer, bench_faces[0], floor_fonts));
      }
    }
  }
  for (HFONT font : floor_fonts.fonts)
    if (font) DeleteObject(font);
  const double instance = Median(instance_ms), face = Median(face_ms);
  const double remake = Median(floor_ms);
  std::printf("switch_instance_ms=%.2f switch_face_ms=%.2f build_first_ms=%.2f "
              "build_second_ms=%.2f ratio=%.2f remake_fonts_ms=%.2f face_ratio=%.2f\n",
              instance, face, build_a, build_b, face > 0 ? instance / face : 0.0, remake,
              remake > 0 ? face / remake : 0.0);
  return 0;
}
