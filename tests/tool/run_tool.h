// Runs the velkor binary and captures what it prints.
#ifndef VELKOR_TESTS_RUN_TOOL_H
#define VELKOR_TESTS_RUN_TOOL_H

#include <string>

namespace velkor::test {

struct ToolRun {
  int exit_code = -1;
  std::string out;  ///< standard output
  std::string err;  ///< standard error
};

/// Runs `velkor <args>` (args as one shell-quoted string).
ToolRun run_tool(const std::string &args);

}  // namespace velkor::test

#endif  // VELKOR_TESTS_RUN_TOOL_H
