/* runner: times whole processes side by side.
 *
 *   runner RUNS REPEATS -- NAME INPUT OUTPUT PROGRAM [ARG...] [-- NAME ...]
 *
 * Each command is started with standard input from the file INPUT and
 * standard output to the file OUTPUT (truncated before each start; /dev/null
 * is fine). One run starts every command REPEATS times in a row, and the
 * commands take turns within each run, the first of them rotating from run to
 * run, so that a slow moment of the machine falls on all of them alike. The
 * time of one start is from just before the spawn to the end of the wait;
 * opening and truncating the files lies outside it.
 *
 * The commands come in pairs, a reference and a subject. For each command it
 * prints the time of one start (median, minimum and maximum over the runs, in
 * microseconds), and for each subject the ratio of its time to its
 * reference's within the same run (median, minimum, maximum). With the
 * environment variable RUNNER_TSV naming a file, the same figures are
 * appended to it as tab-separated lines: name, median, min, max, and for a
 * subject the ratio's median, min and max. A command that exits other than
 * with status 0 is an error. (Peak memory is not measured here: a child
 * started by posix_spawn shares the runner's image until its exec, and the
 * kernel's peak figure for it keeps that.)
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

#define MAX_COMMANDS 16

struct command {
  const char *name;
  const char *input;
  const char *output;
  char **argv;
  double *times; /* seconds per start, one per run */
};

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static void fail(const char *what, const char *detail) {
  fprintf(stderr, "runner: %s: %s\n", what, detail);
  exit(2);
}

/* One start of `c`; returns its wall time in seconds. */
static double start_once(struct command *c) {
  int in = open(c->input, O_RDONLY | O_CLOEXEC);
  if (in < 0) fail(c->input, strerror(errno));
  int out = open(c->output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) fail(c->output, strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);

  const double t0 = now();
  pid_t pid;
  int e = posix_spawn(&pid, c->argv[0], &actions, NULL, c->argv, environ);
  if (e != 0) fail(c->argv[0], strerror(e));
  int status;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) fail("waitpid", strerror(errno));
  }
  const double t1 = now();

  posix_spawn_file_actions_destroy(&actions);
  close(in);
  close(out);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail(c->name, "did not exit with status 0");
  return t1 - t0;
}

static int compare(const void *a, const void *b) {
  const double x = *(const double *)a, y = *(const double *)b;
  return (x > y) - (x < y);
}

/* Sorts `v` in place; returns its median. */
static double median(double *v, int n) {
  qsort(v, (size_t)n, sizeof v[0], compare);
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int main(int argc, char **argv) {
  if (argc < 4 || strcmp(argv[3], "--") != 0) {
    fprintf(stderr, "usage: runner RUNS REPEATS -- NAME INPUT OUTPUT PROGRAM [ARG...] [-- ...]\n");
    return 2;
  }
  const int runs = atoi(argv[1]);
  const int repeats = atoi(argv[2]);
  if (runs < 1 || repeats < 1) fail("RUNS and REPEATS", "must be positive");

  struct command commands[MAX_COMMANDS];
  int count = 0;
  for (int k = 3; k < argc;) {
    /* argv[k] is "--" */
    int end = k + 1;
    while (end < argc && strcmp(argv[end], "--") != 0) ++end;
    if (end - (k + 1) < 4) fail("command", "needs NAME INPUT OUTPUT PROGRAM");
    if (count == MAX_COMMANDS) fail("commands", "too many");
    struct command *c = &commands[count++];
    c->name = argv[k + 1];
    c->input = argv[k + 2];
    c->output = argv[k + 3];
    c->argv = &argv[k + 4];
    argv[end] = NULL; /* ends this command's argv (argv[argc] is NULL already) */
    c->times = calloc((size_t)runs, sizeof(double));
    if (!c->times) fail("memory", "exhausted");
    k = end;
  }

  /* One start of each beforehand, untimed: the programs and their inputs
     are then in the page cache for every timed run. */
  for (int i = 0; i < count; ++i) (void)start_once(&commands[i]);

  for (int r = 0; r < runs; ++r) {
    for (int t = 0; t < count; ++t) {
      struct command *c = &commands[(r + t) % count];
      double total = 0;
      for (int k = 0; k < repeats; ++k) total += start_once(c);
      c->times[r] = total / repeats;
    }
  }

  double *ratios = calloc((size_t)runs, sizeof(double));
  if (!ratios) fail("memory", "exhausted");
  const char *tsv_name = getenv("RUNNER_TSV");
  FILE *tsv = tsv_name && *tsv_name ? fopen(tsv_name, "a") : NULL;
  if (tsv_name && *tsv_name && !tsv) fail(tsv_name, strerror(errno));
  printf("%-28s %11s %11s %11s   %s\n", "command", "median us", "min us", "max us",
         "ratio to the one above: median (min, max)");
  for (int i = 0; i < count; ++i) {
    struct command *c = &commands[i];
    const int subject = i % 2 == 1;
    if (subject) {
      for (int r = 0; r < runs; ++r) ratios[r] = c->times[r] / commands[i - 1].times[r];
    }
    double *sorted = calloc((size_t)runs, sizeof(double));
    if (!sorted) fail("memory", "exhausted");
    memcpy(sorted, c->times, (size_t)runs * sizeof(double));
    const double m = median(sorted, runs);
    printf("%-28s %11.1f %11.1f %11.1f", c->name, m * 1e6, sorted[0] * 1e6,
           sorted[runs - 1] * 1e6);
    double rm = 0;
    if (subject) {
      rm = median(ratios, runs);
      printf("   %.3f (%.3f, %.3f)", rm, ratios[0], ratios[runs - 1]);
    }
    printf("\n");
    if (tsv) {
      fprintf(tsv, "%s\t%.1f\t%.1f\t%.1f", c->name, m * 1e6, sorted[0] * 1e6,
              sorted[runs - 1] * 1e6);
      if (subject) fprintf(tsv, "\t%.3f\t%.3f\t%.3f", rm, ratios[0], ratios[runs - 1]);
      fprintf(tsv, "\n");
    }
    free(sorted);
  }
  printf("(%d runs of %d starts each, turns interleaved)\n", runs, repeats);
  if (tsv) fclose(tsv);
  return 0;
}
