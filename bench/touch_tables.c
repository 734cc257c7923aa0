/* touch-tables FILE: the reader's fair floor. Maps the file as bare-map does and
   touches every page of the tables orvane-info's report is made from, in every
   face: cmap, name, OS/2, head, hhea, maxp and post whole, and the first page of
   GSUB, GPOS, fvar, STAT, COLR and CPAL. It parses nothing but the collection
   header and the table directories, and checks only that what it touches lies
   inside the file. Plain C, like bare-map. */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kPage = 4096 };

static const uint8_t* data;
static uint32_t size;
static volatile uint32_t sum; /* keeps the touches from being left out */

static int read32(uint32_t at, uint32_t* out) {
  if (at > size || size - at < 4) return 0;
  *out = (uint32_t)data[at] << 24 | (uint32_t)data[at + 1] << 16 | (uint32_t)data[at + 2] << 8 |
         data[at + 3];
  return 1;
}

static void touch(uint32_t offset, uint32_t length) {
  if (offset > size) return;
  if (length > size - offset) length = size - offset;
  uint32_t local = 0;
  for (uint32_t at = 0; at < length; at += kPage) local += data[offset + at];
  if (length) local += data[offset + length - 1];
  sum += local;
}

static void face(uint32_t start) {
  uint32_t word = 0;
  if (!read32(start + 4, &word)) return;
  const uint32_t count = word >> 16;
  static const char* const whole[] = {"cmap", "name", "OS/2", "head", "hhea", "maxp", "post"};
  static const char* const first[] = {"GSUB", "GPOS", "fvar", "STAT", "COLR", "CPAL"};
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = start + 12 + 16 * i;
    uint32_t offset = 0, length = 0;
    if (record + 16 > size || !read32(record + 8, &offset) || !read32(record + 12, &length))
      return;
    const char* tag = (const char*)data + record;
    for (size_t t = 0; t < sizeof whole / sizeof *whole; ++t)
      if (memcmp(tag, whole[t], 4) == 0) touch(offset, length);
    for (size_t t = 0; t < sizeof first / sizeof *first; ++t)
      if (memcmp(tag, first[t], 4) == 0) touch(offset, length < kPage ? length : kPage);
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: touch-tables FILE\n", stderr);
    return 2;
  }
  int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 1;
  size = (uint32_t)st.st_size;
  if (size == 0) return 1;
  void* view = mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) return 1;
  posix_madvise(view, size, POSIX_MADV_SEQUENTIAL);
  data = view;
  if (size >= 12 && memcmp(data, "ttcf", 4) == 0) {
    uint32_t faces = 0;
    read32(8, &faces);
    for (uint32_t i = 0; i < faces && 12 + 4 * i + 4 <= size; ++i) {
      uint32_t start = 0;
      if (read32(12 + 4 * i, &start)) face(start);
    }
  } else {
    face(0);
  }
  munmap(view, size);
  close(fd);
  return 0;
}
