// What every subcommand shares: the global options, the exit status, and
// running a body against an open reader.
#ifndef VELKOR_TOOLS_CLI_H
#define VELKOR_TOOLS_CLI_H

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "tools/session.h"

namespace velkor::tool {

/// Exit statuses: 0 success, 1 the reader or the link reported a failure,
/// 2 bad input or no reader.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Cli {
  CLI::App app{"velkor: use a Velkor UHF RFID reader from the terminal", "velkor"};
  GlobalOptions global;
  int exit_code = kExitOk;

  /// Opens the reader and runs body with it; body returns the exit status.
  void run(const std::function<int(Session &)> &body);
};

/// Prints "<what> failed: 0xFB (no tag in the field)" to standard error
/// unless status is 0; returns the exit status for it.
int check(const char *what, int status, int tag_error = -1);

/// Subcommand families.
void add_identity_commands(Cli &cli);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CLI_H
