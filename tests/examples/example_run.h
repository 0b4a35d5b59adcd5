// Runs an example program with arguments and collects what it prints; hands
// it an emulator's host end as an inherited descriptor.
#ifndef VELKOR_TESTS_EXAMPLES_EXAMPLE_RUN_H
#define VELKOR_TESTS_EXAMPLES_EXAMPLE_RUN_H

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/socket_server.h"

extern char **environ;

namespace velkor::test {

using velkor::emu::SocketServer;

struct ExampleRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string slurp(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n > 0) {
      text.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return text;
}

// Runs the example with args and collects what it prints.
inline ExampleRun run_example(const char *path, std::vector<std::string> args) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  args.insert(args.begin(), path);
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, path, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  ExampleRun run;
  run.out = slurp(out[0]);
  run.err = slurp(err[0]);
  int status = 0;
  if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    run.exit_code = WEXITSTATUS(status);
  return run;
}

// The host end, left open across exec so that the example inherits it.
inline std::string inherited(const SocketServer &server) {
  const int fd = server.handle();
  ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) & ~FD_CLOEXEC);
  return std::to_string(fd);
}

inline std::string hex(const std::vector<std::uint8_t> &bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
}

}  // namespace velkor::test

#endif  // VELKOR_TESTS_EXAMPLES_EXAMPLE_RUN_H
