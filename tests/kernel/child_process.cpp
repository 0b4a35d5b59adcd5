#include "tests/kernel/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace velkor::kernel {

namespace {

using Clock = std::chrono::steady_clock;

int left_ms(Clock::time_point until) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string> &argv, std::optional<uid_t> as_user) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe2 failed");
  std::vector<char *> args;
  for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    if (as_user && (::setgroups(0, nullptr) != 0 || ::setgid(*as_user) != 0 ||
                    ::setuid(*as_user) != 0))
      ::_exit(125);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  out_fd_ = out[0];
  err_fd_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (!status_) {
    ::kill(pid_, SIGKILL);
    wait_exit(5000);
  }
  if (out_fd_ >= 0) ::close(out_fd_);
  if (err_fd_ >= 0) ::close(err_fd_);
}

void ChildProcess::read_some(int timeout_ms) {
  pollfd p[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (::poll(p, 2, timeout_ms) <= 0) return;
  char buffer[4096];
  for (int i = 0; i < 2; ++i) {
    if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
    const ssize_t n = ::read(p[i].fd, buffer, sizeof buffer);
    if (n > 0) {
      (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
    } else {
      // The end of that stream: poll ignores a negative descriptor.
      int &fd = i == 0 ? out_fd_ : err_fd_;
      ::close(fd);
      fd = -1;
    }
  }
}

std::optional<std::size_t> ChildProcess::wait_for(const std::string &text, int timeout_ms,
                                                  bool on_error, std::size_t from) {
  const auto until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const std::string &seen = on_error ? err_ : out_;
    const std::size_t at = seen.find(text, std::min(from, seen.size()));
    if (at != std::string::npos) return at + text.size();
    if (Clock::now() >= until) return std::nullopt;
    read_some(std::min(left_ms(until), 50));
  }
}

void ChildProcess::signal(int sig) { ::kill(pid_, sig); }

std::optional<int> ChildProcess::wait_exit(int timeout_ms) {
  const auto until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!status_) {
    int raw = 0;
    const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) {
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      break;
    }
    if (Clock::now() >= until) return std::nullopt;
    read_some(std::min(left_ms(until), 20));
  }
  // What the program wrote before it ended.
  for (int i = 0; i < 100; ++i) {
    const std::size_t before = out_.size() + err_.size();
    read_some(0);
    if (out_.size() + err_.size() == before) break;
  }
  return status_;
}

ToolRun run_tool(const std::vector<std::string> &args, std::optional<uid_t> as_user,
                 int timeout_ms) {
  std::vector<std::string> argv = {tool_path()};
  argv.insert(argv.end(), args.begin(), args.end());
  ChildProcess tool(argv, as_user);
  const std::optional<int> status = tool.wait_exit(timeout_ms);
  return {status, tool.out(), tool.err()};
}

std::string tool_path() {
  const char *path = std::getenv("VELKOR_TOOL");
  return path != nullptr && *path != '\0' ? path : "/bin/velkor";
}

}  // namespace velkor::kernel
