#include "tools/orvane_host/screen_capture.h"

BITMAPINFOHEADER BgrHeader(int width, int height) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;  // top row first
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  return header;
}

namespace {

bool ReadRows(HDC dc, HBITMAP bitmap, int width, int height, BgrImage& out) {
  BITMAPINFO info = {};
  info.bmiHeader = BgrHeader(width, height);
  out.width = width;
  out.height = height;
  out.stride = (width * 3 + 3) & ~3;
  out.bgr.assign(static_cast<size_t>(out.stride) * height, 0);
  return GetDIBits(dc, bitmap, 0, height, out.bgr.data(), &info, DIB_RGB_COLORS) == height;
}

}  // namespace

bool ReadBitmapBgr(HBITMAP bitmap, BgrImage& out) {
  BITMAP shape = {};
  if (!GetObjectA(bitmap, sizeof shape, &shape)) return false;
  HDC screen = GetDC(nullptr);
  const bool read = ReadRows(screen, bitmap, shape.bmWidth, shape.bmHeight, out);
  ReleaseDC(nullptr, screen);
  return read;
}

BgrImage CaptureScreen(const RECT& area) {
  BgrImage image;
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return image;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  ReadRows(memory, bitmap, width, height, image);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

std::vector<uint8_t> ToRgb(const BgrImage& image) {
  std::vector<uint8_t> rgb(static_cast<size_t>(image.width) * 3 * image.height);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      for (int c = 0; c < 3; ++c)
        rgb[(static_cast<size_t>(y) * image.width + x) * 3 + c] =
            image.bgr[static_cast<size_t>(y) * image.stride + x * 3 + (2 - c)];
  return rgb;
}
