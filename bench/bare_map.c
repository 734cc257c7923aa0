/* bare-map FILE: maps the file as the reader does (open, fstat, a private
   read-only mapping marked sequential) and exits without reading it. Plain C,
   so that its start-up is the least a program pays here: the floor for the
   reader's whole-process timings. */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: bare-map FILE\n", stderr);
    return 2;
  }
  int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 1;
  /* Only the low 32 bits of the size count, as in the reader. */
  size_t size = (uint32_t)st.st_size;
  if (size == 0) return 1;
  void* view = mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) return 1;
  posix_madvise(view, size, POSIX_MADV_SEQUENTIAL);
  munmap(view, size);
  close(fd);
  return 0;
}
