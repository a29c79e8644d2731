/* measure: runs commands interleaved, round after round, with standard
 * output to /dev/null and no terminal input, and prints for each the median
 * and spread of wall time and the median peak resident memory, with ratios
 * to the first command (the floor).
 *
 *   measure ROUNDS WARMUPS NAME -- CMD ARGS... ;; NAME -- CMD ARGS... ;; ...
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_COMMANDS 16
#define MAX_ROUNDS 1000

struct command {
    const char *name;
    char **argv;
    double wall_ms[MAX_ROUNDS];
    long rss_kb[MAX_ROUNDS];
};

static int run_once(struct command *command, double *wall_ms, long *rss_kb)
{
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = fork();
    if (child == 0) {
        int null_out = open("/dev/null", O_WRONLY);
        int null_in = open("/dev/null", O_RDONLY);
        dup2(null_in, 0);
        dup2(null_out, 1);
        setsid(); /* no controlling terminal: no pauses */
        execv(command->argv[0], command->argv);
        _exit(127);
    }
    int status;
    struct rusage usage;
    wait4(child, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    *wall_ms = (double)(end.tv_sec - start.tv_sec) * 1e3 + (double)(end.tv_nsec - start.tv_nsec) / 1e6;
    *rss_kb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

static int compare_double(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static int compare_long(const void *a, const void *b)
{
    long x = *(const long *)a, y = *(const long *)b;
    return (x > y) - (x < y);
}

int main(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: measure ROUNDS WARMUPS NAME -- CMD ARGS... [;; NAME -- CMD ARGS...]...\n");
        return 2;
    }
    int rounds = atoi(argv[1]), warmups = atoi(argv[2]);
    if (rounds < 1 || rounds > MAX_ROUNDS)
        return 2;
    static struct command commands[MAX_COMMANDS];
    int count = 0;
    for (int i = 3; i < argc && count < MAX_COMMANDS;) {
        commands[count].name = argv[i];
        if (i + 2 >= argc || strcmp(argv[i + 1], "--") != 0)
            return 2;
        commands[count].argv = &argv[i + 2];
        int j = i + 2;
        while (j < argc && strcmp(argv[j], ";;") != 0)
            ++j;
        argv[j < argc ? j : argc] = NULL;
        ++count;
        i = j + 1;
    }
    for (int round = -warmups; round < rounds; ++round)
        for (int c = 0; c < count; ++c) {
            double wall;
            long rss;
            if (!run_once(&commands[c], &wall, &rss)) {
                fprintf(stderr, "measure: %s failed\n", commands[c].name);
                return 1;
            }
            if (round >= 0) {
                commands[c].wall_ms[round] = wall;
                commands[c].rss_kb[round] = rss;
            }
        }

    double floor_ms = 0, floor_kb = 0;
    printf("%-26s %10s %18s %10s %12s %10s\n", "program", "median ms", "spread ms (p10-p90)", "x floor", "peak RSS KiB",
           "x floor");
    for (int c = 0; c < count; ++c) {
        qsort(commands[c].wall_ms, (size_t)rounds, sizeof(double), compare_double);
        qsort(commands[c].rss_kb, (size_t)rounds, sizeof(long), compare_long);
        double median = commands[c].wall_ms[rounds / 2];
        double p10 = commands[c].wall_ms[rounds / 10], p90 = commands[c].wall_ms[(rounds * 9) / 10];
        double rss = (double)commands[c].rss_kb[rounds / 2];
        if (c == 0) {
            floor_ms = median;
            floor_kb = rss;
        }
        printf("%-26s %10.3f %8.3f - %8.3f %10.2f %12.0f %10.2f\n", commands[c].name, median, p10, p90,
               median / floor_ms, rss, rss / floor_kb);
    }
    return 0;
}
