// SPDX-License-Identifier: MIT
// Starts a program that prints the monotonic clock (nanoseconds) at the end of
// its first full show, and prints
//   <milliseconds from the start of the process to that point> <peak resident KiB>
// Usage: startup_launch <program> [arguments...]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <program> [arguments...]\n", argv[0]);
    return 2;
  }
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    std::perror("pipe");
    return 1;
  }
  const long long started = NowNs();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 1;
  }
  if (child == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[1]);
    execv(argv[1], argv + 1);
    std::perror("execv");
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
    output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      output.empty()) {
    std::fprintf(stderr, "%s did not report its first frame\n", argv[1]);
    return 1;
  }
  const long long shown = std::atoll(output.c_str());
  std::printf("%.2f %ld\n", static_cast<double>(shown - started) / 1e6, usage.ru_maxrss);
  return 0;
}
