// The thumbnail exports: the bitmap's size, where its ink lies, what they refuse,
// wide paths, bitmap fonts, and what many calls leave behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "fontfile/char_map.h"
#include "fontfile/font_info.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

using PreviewFn = HBITMAP(__stdcall*)(char*, int, int, char*, int);
using PreviewWFn = HBITMAP(__stdcall*)(WCHAR*, int, int, char*, int);

constexpr uint32_t kWhite = 0xFFFFFF;

PreviewFn PreviewA() {
  return reinterpret_cast<PreviewFn>(
      reinterpret_cast<void*>(GetProcAddress(Plugin().dll, "ListGetPreviewBitmap")));
}
PreviewWFn PreviewW() {
  return reinterpret_cast<PreviewWFn>(
      reinterpret_cast<void*>(GetProcAddress(Plugin().dll, "ListGetPreviewBitmapW")));
}

std::wstring Wide(const std::string& ansi) {
  int units = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out.data(), units);
  out.resize(static_cast<size_t>(units) - 1);
  return out;
}

HBITMAP Preview(const std::string& path, int width, int height) {
  std::vector<char> copy(path.begin(), path.end());
  copy.push_back('\0');
  return PreviewA()(copy.data(), width, height, nullptr, 0);
}

HBITMAP Preview(std::wstring path, int width, int height) {
  return PreviewW()(path.data(), width, height, nullptr, 0);
}

// The smallest rectangle holding every non-white pixel of `area` (by default the
// whole bitmap); empty when there is none.
RECT InkBounds(const Pixels& p, RECT area = {0, 0, 0x7FFF, 0x7FFF}) {
  RECT r = {p.width, p.height, 0, 0};
  for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, p.height); ++y)
    for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, p.width); ++x)
      if (p.At(x, y) != kWhite) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

std::string SerifPath() { return HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"); }

TEST(PreviewBitmap, FillsTheAskedBoxWithSampleAboveAndNameBelow) {
  struct Box {
    int width, height;
  };
  for (Box box : {Box{200, 150}, Box{64, 64}, Box{500, 100}, Box{120, 400}}) {
    SCOPED_TRACE(std::to_string(box.width) + "x" + std::to_string(box.height));
    Pixels p = TakeBitmap(Preview(DejaVuPath(), box.width, box.height));
    ASSERT_EQ(p.width, box.width);
    ASSERT_EQ(p.height, box.height);
    const int margin = std::min(box.width, box.height) / 16;
    const RECT ink = InkBounds(p);
    // Nothing in the margin, and the drawing centred across the box.
    EXPECT_GE(ink.left, margin);
    EXPECT_GE(ink.top, margin);
    EXPECT_LE(ink.right, box.width - margin);
    EXPECT_LE(ink.bottom, box.height - margin);
    EXPECT_LE(std::abs((ink.left + ink.right) - box.width), 4);
    // Sample above, name below: ink in both bands, split where the sample ends.
    const int inner = box.height - 2 * margin;
    const int split = margin + inner - inner * 3 / 8;
    EXPECT_GT(p.InkIn({0, 0, box.width, split}, kWhite), 0);
    EXPECT_GT(p.InkIn({0, split, box.width, box.height}, kWhite), 0);
    // The name as large as its band allows: it fills most of the width, or, in a
    // wide box, most of the height its font may take.
    const RECT name = InkBounds(p, {0, split, box.width, box.height});
    const int name_cell = (box.height - margin - split) * 3 / 4;
    EXPECT_TRUE(name.right - name.left >= (box.width - 2 * margin) * 8 / 10 ||
                name.bottom - name.top >= name_cell / 2)
        << "name ink " << name.right - name.left << " x " << name.bottom - name.top;
    // Black ink, smoothed at its edges.
    int black = 0, grey = 0;
    for (uint32_t c : p.rgb) {
      black += c == 0;
      grey += c != 0 && c != kWhite;
    }
    EXPECT_GT(black, 0);
    EXPECT_GT(grey, 0);
  }
}

TEST(PreviewBitmap, TinyBoxesStayTinyAndTheSampleIsTheFontsOwn) {
  for (int side : {1, 2, 8}) {
    Pixels p = TakeBitmap(Preview(DejaVuPath(), side, side));
    EXPECT_EQ(p.width, side);
    EXPECT_EQ(p.height, side);
  }
  // Too low for a name: "Aa" alone takes the whole height.
  Pixels low = TakeBitmap(Preview(DejaVuPath(), 100, 16));
  ASSERT_EQ(low.height, 16);
  EXPECT_GT(low.InkIn({0, 0, 100, 16}, kWhite), 0);

  // The same box for two faces differs; the same face twice does not.
  Pixels sans = TakeBitmap(Preview(DejaVuPath(), 200, 150));
  Pixels again = TakeBitmap(Preview(DejaVuPath(), 200, 150));
  Pixels serif = TakeBitmap(Preview(SerifPath(), 200, 150));
  ASSERT_EQ(serif.width, 200);
  EXPECT_EQ(sans.rgb, again.rgb);
  EXPECT_NE(sans.rgb, serif.rgb);
}

// A web font's thumbnail is drawn from its decoded bytes: DejaVu Sans as WOFF2
// and as WOFF looks as its TrueType file does; a refused one gives none.
TEST(PreviewBitmap, WebFontsLookAsTheirTrueTypeFont) {
  const Pixels ttf = TakeBitmap(Preview(DejaVuPath(), 200, 150));
  ASSERT_EQ(ttf.width, 200);
  for (const char* web : {"/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2",
                          "/usr/share/fonts/woff/dejavu/DejaVuSans.woff"}) {
    EXPECT_EQ(TakeBitmap(Preview(HostPath(web), 200, 150)).rgb, ttf.rgb) << web;
    EXPECT_EQ(TakeBitmap(Preview(Wide(HostPath(web)), 200, 150)).rgb, ttf.rgb) << web;
  }
  const std::string cut = ScratchDir("preview_web_cut") + "\\cut.woff2";
  WriteTextFile(cut, "wOF2 and nothing a font would need");
  EXPECT_EQ(Preview(cut, 200, 150), nullptr);
}

TEST(PreviewBitmap, AFontWithoutAaShowsTwoOfItsOwnCharacters) {
  // Marlett lacks "A" and "a": two empty boxes would look the same.
  const std::string marlett = "/usr/share/wine/fonts/marlett.ttf";
  FontInfo info;
  ASSERT_TRUE(ReadFontFile(marlett.c_str(), info));
  ASSERT_EQ(info.coverage.kind, CoverageKind::kSymbol);
  ASSERT_FALSE(HasCodePoint(info.coverage, 0xF041) && HasCodePoint(info.coverage, 0xF061));
  Pixels p = TakeBitmap(Preview(HostPath(marlett), 200, 150));
  ASSERT_EQ(p.width, 200);
  const int margin = 150 / 16, inner = 150 - 2 * margin;
  const int split = margin + inner - inner * 3 / 8;
  // Ink per column of the sample band, cut into the two characters at a gap.
  std::vector<int> columns(p.width);
  for (int x = 0; x < p.width; ++x) columns[x] = p.InkIn({x, 0, x + 1, split}, kWhite);
  std::vector<std::vector<int>> runs;
  for (int x = 0; x < p.width; ++x) {
    if (!columns[x]) continue;
    if (x == 0 || !columns[x - 1]) runs.emplace_back();
    runs.back().push_back(columns[x]);
  }
  ASSERT_GE(runs.size(), 2u);
  EXPECT_NE(runs.front(), runs.back());
}

TEST(PreviewBitmap, RefusesWhatItCannotShow) {
  const std::string dir = ScratchDir("preview_refusals");
  const std::string empty = dir + "\\empty.ttf", broken = dir + "\\broken.ttf";
  WriteTextFile(empty, "");
  WriteTextFile(broken, std::string("\0\1\0\0\0\x0c\0\x80", 8) + std::string(400, 'x'));
  for (const std::string& path : {dir + "\\missing.ttf", empty, broken, std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Preview(path, 100, 100), nullptr);
    EXPECT_EQ(Preview(Wide(path), 100, 100), nullptr);
  }
  struct Box {
    int width, height;
  };
  for (Box box : {Box{0, 100}, Box{100, 0}, Box{-5, 100}, Box{4097, 10}, Box{10, 100000}}) {
    EXPECT_EQ(Preview(DejaVuPath(), box.width, box.height), nullptr);
    EXPECT_EQ(Preview(Wide(DejaVuPath()), box.width, box.height), nullptr);
  }
  EXPECT_EQ(PreviewA()(nullptr, 100, 100, nullptr, 0), nullptr);
  EXPECT_EQ(PreviewW()(nullptr, 100, 100, nullptr, 0), nullptr);
}

TEST(PreviewBitmap, WideFormReadsAFolderTheAnsiCodePageCannotName) {
  // "Шрифт-ελ": Cyrillic and Greek, which code page 1252 cannot spell.
  const std::wstring dir =
      Wide(ScratchDir("preview_wide")) + L"\\\u0428\u0440\u0438\u0444\u0442-\u03b5\u03bb";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring copy = dir + L"\\\u0444.ttf";
  ASSERT_TRUE(CopyFileW(Wide(DejaVuPath()).c_str(), copy.c_str(), FALSE));
  Pixels from_copy = TakeBitmap(Preview(copy, 160, 120));
  Pixels original = TakeBitmap(Preview(Wide(DejaVuPath()), 160, 120));
  ASSERT_EQ(from_copy.width, 160);
  EXPECT_EQ(from_copy.rgb, original.rgb);
  EXPECT_EQ(TakeBitmap(Preview(DejaVuPath(), 160, 120)).rgb, original.rgb);  // A and W agree
}

TEST(PreviewBitmap, BitmapFontsShowToo) {
  const std::string fon = "/usr/share/wine/fonts/sserife.fon";
  ASSERT_EQ(MissingFont(fon), "");
  Pixels p = TakeBitmap(Preview(HostPath(fon), 200, 150));
  ASSERT_EQ(p.width, 200);
  EXPECT_GT(p.InkIn({0, 0, 200, 150}, kWhite), 0);
}

// Each kind of font, whichever way it is read (in parts, whole, or mapped: a
// collection, a CFF font, a font with bytes after its tables, a FON, a web
// font, a symbol font, a colour font), draws alike by either export and
// whatever was drawn before it: the buffers its parts are read into serve one
// call after another.
TEST(PreviewBitmap, EachKindDrawsAlikeByEitherExportAndAfterOtherFonts) {
  const std::string padded = ScratchDir("preview_kinds") + "\\padded.ttf";
  std::ifstream in(DejaVuPath(), std::ios::binary);
  WriteTextFile(padded, std::string(std::istreambuf_iterator<char>(in), {}) +
                            std::string(100000, 'x'));
  const std::vector<std::string> fonts = {
      HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"),
      HostPath("/usr/share/texmf/fonts/opentype/public/lm/lmroman10-regular.otf"),
      padded,
      HostPath("/usr/share/wine/fonts/sserife.fon"),
      HostPath("/usr/share/fonts/woff2/dejavu/DejaVuSerif.woff2"),
      HostPath("/usr/share/wine/fonts/marlett.ttf"),
      HostPath("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"),
  };
  std::vector<Pixels> first;
  for (const std::string& font : fonts) {
    first.push_back(TakeBitmap(Preview(font, 200, 150)));
    ASSERT_EQ(first.back().width, 200) << font;
    EXPECT_GT(first.back().InkIn({0, 0, 200, 150}, kWhite), 0) << font;
  }
  for (size_t i = fonts.size(); i-- > 0;)
    EXPECT_EQ(TakeBitmap(Preview(Wide(fonts[i]), 200, 150)).rgb, first[i].rgb) << fonts[i];
  // Bytes after the tables change nothing.
  EXPECT_EQ(first[2].rgb, TakeBitmap(Preview(DejaVuPath(), 200, 150)).rgb);
}

// A thumbnail view asks from worker threads, several files at once.
TEST(PreviewBitmap, ConcurrentCallsFromOtherThreadsDrawTheSame) {
  const Pixels sans = TakeBitmap(Preview(DejaVuPath(), 120, 90));
  const Pixels serif = TakeBitmap(Preview(SerifPath(), 120, 90));
  int mismatches[2] = {};
  auto work = [&](int index) {
    const std::string& path = index ? SerifPath() : DejaVuPath();
    const Pixels& expected = index ? serif : sans;
    for (int i = 0; i < 40; ++i)
      mismatches[index] += TakeBitmap(Preview(path, 120, 90)).rgb != expected.rgb;
  };
  std::thread first(work, 0), second(work, 1);
  first.join();
  second.join();
  EXPECT_EQ(mismatches[0], 0);
  EXPECT_EQ(mismatches[1], 0);
}

// The slots the next 64 GDI objects take. Freed slots are handed out again
// last freed first and these probes go back in the order they came, so rounds
// that free everything they made leave the same slots next; an object left
// behind holds one of them.
std::vector<unsigned> NextGdiSlots() {
  std::vector<HBRUSH> probes;
  for (int i = 0; i < 64; ++i) probes.push_back(CreateSolidBrush(RGB(1, 2, i)));
  std::vector<unsigned> slots;
  for (HBRUSH probe : probes)
    slots.push_back(static_cast<unsigned>(reinterpret_cast<uintptr_t>(probe) & 0xFFFF));
  for (auto probe = probes.rbegin(); probe != probes.rend(); ++probe) DeleteObject(*probe);
  std::sort(slots.begin(), slots.end());
  return slots;
}

void PreviewRound(const std::wstring& path) {
  HBITMAP bitmap = Preview(path, 200, 150);
  ASSERT_NE(bitmap, nullptr);
  DeleteObject(bitmap);
}

TEST(PreviewBitmap, ManyCallsLeaveNoObjectsOrRegistrations) {
  const std::wstring path = Wide(DejaVuPath());
  constexpr int kCalls = 300;
  // Whether this system removes private registrations at all: only then can a
  // removal after the previews tell whether one stayed.
  const bool removes = AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr) > 0 &&
                       RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
  PreviewRound(path);  // the first call loads what stays loaded
  const DWORD objects_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const std::vector<unsigned> slots_before = NextGdiSlots();
  for (int i = 0; i < kCalls; ++i) PreviewRound(path);
  const std::vector<unsigned> slots_after = NextGdiSlots();
  const DWORD objects_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

  // The slots do see a leak: a round that keeps one object it made while the
  // bitmap was alive.
  HBITMAP bitmap = Preview(path, 200, 150);
  HFONT kept = CreateFontA(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  DeleteObject(bitmap);
  const std::vector<unsigned> slots_leaky = NextGdiSlots();
  DeleteObject(kept);

  std::printf("after %d previews: GetGuiResources %lu -> %lu; next 64 GDI slots %s (%s after "
              "a round that kept one object); registrations %s\n",
              kCalls, objects_before, objects_after,
              slots_after == slots_before ? "the same" : "changed",
              slots_leaky == slots_after ? "the same" : "changed",
              removes ? "checked" : "not removable on this system, unchecked");
  EXPECT_EQ(objects_after, objects_before);
  EXPECT_EQ(slots_after, slots_before);
  EXPECT_NE(slots_leaky, slots_after);
  if (removes) {
    EXPECT_FALSE(RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr));
  }
}

}  // namespace
