// A program the guest tests start (the velkor tool), optionally as an
// unprivileged user, with its output read as it comes.
#ifndef VELKOR_TESTS_KERNEL_CHILD_PROCESS_H
#define VELKOR_TESTS_KERNEL_CHILD_PROCESS_H

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace velkor::kernel {

/// The unprivileged user and group the permission tests run as ("nobody").
constexpr uid_t kUnprivileged = 65534;

class ChildProcess {
 public:
  /// Starts argv[0] with the given arguments; as_user set drops every
  /// privilege (groups, group, user) before the program starts.
  explicit ChildProcess(const std::vector<std::string> &argv,
                        std::optional<uid_t> as_user = std::nullopt);
  /// Kills the program if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess &operator=(const ChildProcess &) = delete;

  /// Reads output until text appears on standard output (or, with on_error,
  /// standard error) at or after byte from, or timeout_ms pass.  Returns the
  /// offset just past the text, or nullopt.
  std::optional<std::size_t> wait_for(const std::string &text, int timeout_ms,
                                      bool on_error = false, std::size_t from = 0);
  void signal(int sig);
  /// Waits for the exit; the exit status, 128 + the signal for a program
  /// killed by one, or nullopt when it still runs after timeout_ms.
  std::optional<int> wait_exit(int timeout_ms);

  const std::string &out() const { return out_; }
  const std::string &err() const { return err_; }

 private:
  void read_some(int timeout_ms);

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string out_;
  std::string err_;
  std::optional<int> status_;
};

/// Runs the velkor tool to its end (at most timeout_ms) and returns its exit
/// status (nullopt when it had to be killed) with its output.
struct ToolRun {
  std::optional<int> status;
  std::string out;
  std::string err;
};
ToolRun run_tool(const std::vector<std::string> &args, std::optional<uid_t> as_user = std::nullopt,
                 int timeout_ms = 20000);

/// The velkor tool's path in the guest ($VELKOR_TOOL, else /bin/velkor).
std::string tool_path();

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_CHILD_PROCESS_H
