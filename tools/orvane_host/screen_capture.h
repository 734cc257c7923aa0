// Pixels read back from the screen or from a bitmap, for screenshots and tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// 24-bit pixels, top row first, each row padded to four bytes as GDI lays it out.
struct BgrImage {
  int width = 0, height = 0, stride = 0;
  std::vector<uint8_t> bgr;
};

// The header GetDIBits takes for such an image.
BITMAPINFOHEADER BgrHeader(int width, int height);

// A bitmap's pixels; false when the bitmap cannot be read whole.
bool ReadBitmapBgr(HBITMAP bitmap, BgrImage& out);

// A rectangle of the screen, in screen coordinates; empty when it has no area.
BgrImage CaptureScreen(const RECT& area);

// Three bytes a pixel, red first, rows unpadded: what EncodePng takes.
std::vector<uint8_t> ToRgb(const BgrImage& image);
