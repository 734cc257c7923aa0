// The screenshot encoder: a PNG that zlib and the chunk checksums accept.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "tools/orvane_host/png_writer.h"

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

TEST(PngWriter, ChunksCheckAndPixelsInflateBack) {
  // Wide enough that the image data spans several stored blocks.
  const int width = 300, height = 100;
  std::vector<uint8_t> rgb(width * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 5);
  std::vector<uint8_t> png = EncodePng(width, height, rgb);

  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_EQ(std::memcmp(png.data(), signature, 8), 0);
  std::vector<uint8_t> idat;
  std::vector<std::string> types;
  for (size_t at = 8; at < png.size();) {
    uint32_t length = Read32(png, at);
    std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types.push_back(type);
    uint32_t stored = Read32(png, at + 8 + length);
    EXPECT_EQ(stored, crc32(0, png.data() + at + 4, length + 4)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(Read32(png, at + 8), static_cast<uint32_t>(width));
      EXPECT_EQ(Read32(png, at + 12), static_cast<uint32_t>(height));
      EXPECT_EQ(png[at + 16], 8);
      EXPECT_EQ(png[at + 17], 2);
    }
    if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

  std::vector<uint8_t> raw((width * 3 + 1) * height);
  uLongf raw_size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &raw_size, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(raw_size, raw.size());
  for (int y = 0; y < height; ++y) {
    EXPECT_EQ(raw[y * (width * 3 + 1)], 0);
    EXPECT_EQ(std::memcmp(&raw[y * (width * 3 + 1) + 1], &rgb[y * width * 3], width * 3), 0) << y;
  }
}

}  // namespace
