/* peak: the peak resident set of a process itself, read at its exit.
 *
 *   peak PROGRAM [ARG...] < INPUT > OUTPUT
 *
 * Prints to standard error "VmHWM KB" of PROGRAM, read from /proc at the
 * moment it exits (a traced exit stop). The "Maximum resident set size" that
 * wait4(2) reports, and so /usr/bin/time, is at least the size of the parent
 * at the fork, since the kernel keeps the larger of the old and the new
 * image's peak across the exec; for a process as small as an empty C program
 * that is the parent's figure, not the child's. VmHWM belongs to the new
 * image alone.
 */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

static long high_water_kb(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
  FILE *f = fopen(path, "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (fgets(line, sizeof line, f)) {
    if (strncmp(line, "VmHWM:", 6) == 0) kb = strtol(line + 6, NULL, 10);
  }
  fclose(f);
  return kb;
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: peak PROGRAM [ARG...]\n");
    return 2;
  }
  const pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    ptrace(PTRACE_TRACEME, 0, NULL, NULL);
    execv(argv[1], &argv[1]);
    _exit(127);
  }
  int status;
  long kb = -1;
  /* The first stop is the exec's SIGTRAP. */
  if (waitpid(pid, &status, 0) < 0 || !WIFSTOPPED(status)) return 2;
  ptrace(PTRACE_SETOPTIONS, pid, NULL, (void *)(long)(PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL));
  ptrace(PTRACE_CONT, pid, NULL, NULL);
  for (;;) {
    if (waitpid(pid, &status, 0) < 0) return 2;
    if (WIFEXITED(status) || WIFSIGNALED(status)) break;
    int deliver = 0;
    if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      kb = high_water_kb(pid);
    } else if (WIFSTOPPED(status)) {
      deliver = WSTOPSIG(status);
    }
    ptrace(PTRACE_CONT, pid, NULL, (void *)(long)deliver);
  }
  fprintf(stderr, "VmHWM %ld KB\n", kb);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
