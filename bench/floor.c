/* floor: the least that a program printing a given record stream must do.
 *
 *   floor STREAM < /dev/null > OUTPUT
 *
 * STREAM holds the bytes that standard output must receive: record bodies,
 * each followed by CR LF. floor writes them the way the program hands them to
 * the system, one write(2) per record: the first body alone, then each
 * further body together with the line end still owed to the record before it,
 * and at the end the last record's line end alone. It computes nothing and
 * reads STREAM through one small buffer, so its time is the system calls'
 * and its memory is a C program's start-up.
 */
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

static char buffer[1 << 16];

static void write_all(const char *p, size_t n) {
  while (n > 0) {
    const ssize_t w = write(1, p, n);
    if (w <= 0) _exit(1);
    p += w;
    n -= (size_t)w;
  }
}

/* The offset of the first CR LF in [from, end), or `end` if none is whole. */
static size_t find_line_end(size_t from, size_t end) {
  while (from + 1 < end) {
    const char *cr = memchr(buffer + from, '\r', end - from - 1);
    if (!cr) return end;
    from = (size_t)(cr - buffer);
    if (buffer[from + 1] == '\n') return from;
    ++from;
  }
  return end;
}

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 2;
  size_t start = 0; /* the piece to write next begins here */
  size_t end = 0;   /* bytes held */
  int first = 1;    /* no line end is owed before the first body */
  int at_end = 0;
  for (;;) {
    const size_t from = first ? start : start + 2;
    const size_t line_end = from <= end ? find_line_end(from, end) : end;
    if (line_end < end) {
      if (line_end > start) write_all(buffer + start, line_end - start);
      start = line_end;
      first = 0;
      continue;
    }
    if (at_end || (start == 0 && end == sizeof buffer)) {
      /* The last line end, or a piece longer than the buffer. */
      if (end > start) write_all(buffer + start, end - start);
      if (at_end) return 0;
      start = end = 0;
      continue;
    }
    memmove(buffer, buffer + start, end - start);
    end -= start;
    start = 0;
    const ssize_t got = read(fd, buffer + end, sizeof buffer - end);
    if (got < 0) return 2;
    if (got == 0) at_end = 1;
    end += (size_t)got;
  }
}
