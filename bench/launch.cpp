// Starts one program for the benchmark and reports when it started, when it
// ended and what it used:
//
//   launch FD PROGRAM [ARGUMENT...]
//
// writes "PID START_NS\n" on descriptor FD when the program has been forked,
// then "STATUS END_NS USER_US SYSTEM_US MAXRSS_KIB\n" once it has exited
// (STATUS as wait4 gives it, times on CLOCK_MONOTONIC). The program keeps the
// launcher's standard input, output and error.
//
// Why a program of its own: the kernel counts the resident size of the process
// that forked a child into the child's peak resident memory (ru_maxrss), so a
// driver in Python would put its own 14 MB into every figure. Forked from this
// small static program, the figure is the recorder's own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long now_ns() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long microseconds(const timeval& t) {
  return static_cast<long long>(t.tv_sec) * 1000000LL + t.tv_usec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: launch FD PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const int report = std::atoi(argv[1]);
  const long long start = now_ns();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("launch: fork");
    return 2;
  }
  if (child == 0) {
    close(report);
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  dprintf(report, "%d %lld\n", child, start);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("launch: wait4");
    return 2;
  }
  const long long end = now_ns();
  dprintf(report, "%d %lld %lld %lld %ld\n", status, end, microseconds(usage.ru_utime),
          microseconds(usage.ru_stime), usage.ru_maxrss);
  return 0;
}
