#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

bool MapFileReadOnly(const char* path, MappedFile& out) {
  UnmapFile(out);
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int saved = S_ISREG(st.st_mode) ? errno : EISDIR;
    close(fd);
    errno = saved;
    return false;
  }
  // Like the Win32 side, only the low 32 bits of the size count, and an empty
  // file cannot be mapped.
  uint32_t size = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size));
  if (size == 0) {
    close(fd);
    errno = EINVAL;
    return false;
  }
  void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    int saved = errno;
    close(fd);
    errno = saved;
    return false;
  }
  posix_madvise(view, size, POSIX_MADV_SEQUENTIAL);
  out.data = static_cast<const uint8_t*>(view);
  out.size = size;
  out.file_handle = fd;
  ModuleReadCounts().mappings.fetch_add(1, std::memory_order_relaxed);
  return true;
}

void UnmapFile(MappedFile& file) {
  if (file.data) munmap(const_cast<uint8_t*>(file.data), file.size);
  if (file.file_handle >= 0) close(static_cast<int>(file.file_handle));
  file.data = nullptr;
  file.size = 0;
  file.file_handle = -1;
}

bool MapFileReadOnlyUtf8(const char* utf8_path, MappedFile& out) {
  return MapFileReadOnly(utf8_path, out);
}

bool FileSizeAndTimeUtf8(const char* utf8_path, uint64_t& size, int64_t& written) {
  struct stat status;
  if (stat(utf8_path, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  size = static_cast<uint64_t>(status.st_size);
  written = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  return true;
}
