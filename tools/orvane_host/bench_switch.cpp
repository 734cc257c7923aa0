// --bench-switch: in a collection of variable fonts, switching the instance
// shown against switching the face shown, each as the user does it (the
// selector's choice and its notice) to the painted Glyphs page. The instance
// switches go back and forth between two named instances whose static fonts
// the viewer keeps after their first build; the first builds are timed apart.
// Alternated rounds in one process, medians.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int BenchSwitch(HWND host, HWND viewer, int cycles) {
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
  std::vector<double> instance_ms, face_ms;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (cycle % 2 == 0)) {
        Choose(host, viewer, kInstanceComboId, a);
        instance_ms.push_back(Choose(host, viewer, kInstanceComboId, b));
        Choose(host, viewer, kInstanceComboId, 0);
      } else {
        face_ms.push_back(Choose(host, viewer, kFaceComboId, 1));
        face_ms.push_back(Choose(host, viewer, kFaceComboId, 0));
      }
    }
  }
  const double instance = Median(instance_ms), face = Median(face_ms);
  std::printf("switch_instance_ms=%.2f switch_face_ms=%.2f build_first_ms=%.2f "
              "build_second_ms=%.2f ratio=%.2f\n",
              instance, face, build_a, build_b, face > 0 ? instance / face : 0.0);
  return 0;
}
