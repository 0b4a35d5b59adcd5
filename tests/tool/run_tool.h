// Runs the velkor binary and captures what it prints.
#ifndef VELKOR_TESTS_RUN_TOOL_H
#define VELKOR_TESTS_RUN_TOOL_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace velkor::test {

struct ToolRun {
  int exit_code = -1;
  std::string out;  ///< standard output
  std::string err;  ///< standard error
  long peak_memory_kb = -1;  ///< its largest resident size (RunningTool only)
};

/// Runs `velkor <args>` (args as one shell-quoted string), with `input` on
/// its standard input and `env` ("NAME=value ...") added to its
/// environment.
ToolRun run_tool(const std::string &args, const std::string &input = "",
                 const std::string &env = "");

/// Lines of text.
std::vector<std::string> lines_of(const std::string &text);

/// The tool started in the background, for what needs a signal or a look
/// at its output while it runs.
class RunningTool {
 public:
  enum Stream { kOut = 0, kErr = 1 };

  /// Starts `velkor <args>` (split at spaces) with `env` ("NAME=value")
  /// added to its environment when not empty, as the user and group
  /// `user` when it is not 0 (the test runs as root).
  explicit RunningTool(const std::string &args, const std::string &env = "", uid_t user = 0);
  ~RunningTool();
  RunningTool(const RunningTool &) = delete;
  RunningTool &operator=(const RunningTool &) = delete;

  /// Reads the tool's output until the stream holds `text`; false after
  /// `limit` or once the tool has closed both streams.
  bool wait_for(const std::string &text, std::chrono::milliseconds limit,
                Stream stream = kOut);
  /// Stops reading standard output, as `velkor ... | head` does.
  void close_output();
  /// Sends the signal.
  void signal(int number);
  /// Waits for the end and collects the rest of the output; a tool still
  /// running after `limit` is killed (exit_code -1).
  ToolRun finish(std::chrono::milliseconds limit);
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int fds_[2] = {-1, -1};
  std::string texts_[2];
  bool read_some(int timeout_ms);
  bool open() const { return fds_[kOut] >= 0 || fds_[kErr] >= 0; }
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_RUN_TOOL_H
