#include "tests/tool/run_tool.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace velkor::test {

namespace {

std::string slurp(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string temp_dir() {
  char dir[] = "/tmp/velkor-tool-XXXXXX";
  return mkdtemp(dir) ? dir : "";
}

std::vector<std::string> words_of(const std::string &text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The emulator reports, as it stops, what the library did that the report
// protocol does not allow: every such report fails the test that ran it.
void expect_no_violation(const std::string &err) {
  if (err.find("emulator: host protocol violation") != std::string::npos)
    ADD_FAILURE() << "the library broke the report protocol:\n" << err;
}

}  // namespace

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

ToolRun run_tool(const std::string &args, const std::string &input, const std::string &env) {
  const std::string dir = temp_dir();
  if (dir.empty()) return {};
  const std::string out = dir + "/out", err = dir + "/err", in = dir + "/in";
  std::ofstream(in) << input;
  const std::string command = (env.empty() ? "" : "env " + env + " ") +
                              std::string(VELKOR_TOOL_PATH) + " " + args + " >" + out + " 2>" +
                              err + " <" + in;
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = slurp(out);
  run.err = slurp(err);
  for (const std::string &f : {out, err, in}) std::remove(f.c_str());
  rmdir(dir.c_str());
  expect_no_violation(run.err);
  return run;
}

RunningTool::RunningTool(const std::string &args, const std::string &env, uid_t user) {
  int out[2], err[2];
  if (pipe(out) != 0) return;
  if (pipe(err) != 0) {
    close(out[0]);
    close(out[1]);
    return;
  }
  std::vector<std::string> argv_text = words_of(args);
  argv_text.insert(argv_text.begin(), VELKOR_TOOL_PATH);
  std::vector<char *> argv;
  for (std::string &a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string env_entry = env;
  std::vector<char *> envp;
  for (char **e = environ; *e; ++e) envp.push_back(*e);
  if (!env_entry.empty()) envp.push_back(env_entry.data());
  envp.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
    if (user != 0 && (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0))
      _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  fds_[kOut] = out[0];
  fds_[kErr] = err[0];
}

RunningTool::~RunningTool() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : fds_)
    if (fd >= 0) close(fd);
}

// Reads what either stream has within timeout_ms; false when nothing came.
bool RunningTool::read_some(int timeout_ms) {
  pollfd p[2] = {{fds_[kOut], POLLIN, 0}, {fds_[kErr], POLLIN, 0}};
  if (!open() || poll(p, 2, timeout_ms) <= 0) return false;
  bool got = false;
  for (int s : {kOut, kErr}) {
    if (!(p[s].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[4096];
    const ssize_t n = read(fds_[s], buffer, sizeof buffer);
    if (n <= 0) {
      close(fds_[s]);
      fds_[s] = -1;
      continue;
    }
    texts_[s].append(buffer, static_cast<std::size_t>(n));
    got = true;
  }
  return got;
}

bool RunningTool::wait_for(const std::string &text, std::chrono::milliseconds limit,
                           Stream stream) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (texts_[stream].find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (!open() || left.count() <= 0) return false;
    read_some(static_cast<int>(left.count()));
  }
  return true;
}

void RunningTool::close_output() {
  if (fds_[kOut] >= 0) close(fds_[kOut]);
  fds_[kOut] = -1;
}

void RunningTool::signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

ToolRun RunningTool::finish(std::chrono::milliseconds limit) {
  ToolRun run;
  const auto until = std::chrono::steady_clock::now() + limit;
  int status = 0;
  pid_t done = 0;
  rusage usage{};
  while ((done = wait4(pid_, &status, WNOHANG, &usage)) == 0 &&
         std::chrono::steady_clock::now() < until)
    read_some(20);
  if (done == 0) {
    kill(pid_, SIGKILL);
    done = wait4(pid_, &status, 0, &usage);
    status = -1;
  }
  if (done == pid_) {
    pid_ = -1;
    run.exit_code = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peak_memory_kb = usage.ru_maxrss;
  }
  while (read_some(0)) {
  }
  run.out = texts_[kOut];
  run.err = texts_[kErr];
  expect_no_violation(run.err);
  return run;
}

}  // namespace velkor::test
