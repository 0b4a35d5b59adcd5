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
  /// Starts `velkor <args>` (split at spaces) with `env` ("NAME=value")
  /// added to its environment when not empty.
  explicit RunningTool(const std::string &args, const std::string &env = "");
  ~RunningTool();
  RunningTool(const RunningTool &) = delete;
  RunningTool &operator=(const RunningTool &) = delete;

  /// Reads standard output until it holds `text`; false after `limit`.
  bool wait_for(const std::string &text, std::chrono::milliseconds limit);
  /// Sends the signal.
  void signal(int number);
  /// Waits for the end and collects the rest of the output.
  ToolRun finish(std::chrono::milliseconds limit);

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string dir_;
  std::string out_text_;
  bool eof_ = false;
  bool read_some(int timeout_ms);
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_RUN_TOOL_H
