// script: subcommands one per line, all on one reader.  The emulated reader
// lives as long as the process, so this is how a write and the read that
// checks it meet the same emulated tag.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "tools/cli/cli.h"

namespace velkor::tool {

namespace {

// Longer lines are no commands: an endless input stops here instead of
// filling memory.
constexpr std::size_t kLongestLine = 4096;

// Reads and runs the lines one at a time (so an endless input runs as it
// comes); blank lines and # comments are left out.  Stops at the first
// line that fails, with that line's exit status.
int run_lines(Session &s, std::istream &in, const std::string &name) {
  std::string text;
  for (int number = 1;; ++number) {
    text.clear();
    int c;
    while ((c = in.get()) != EOF && c != '\n' && text.size() <= kLongestLine)
      text += static_cast<char>(c);
    if (text.size() > kLongestLine) {
      complain("script: line %d of %s is longer than %zu characters", number, name.c_str(),
               kLongestLine);
      return kExitUsage;
    }
    if (in.bad()) {
      complain("script: cannot read %s", name.c_str());
      return kExitUsage;
    }
    if (c == EOF && text.empty()) return kExitOk;
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos || text[start] == '#') continue;
    Cli cli;
    cli.shared = &s;
    cli.app.require_subcommand(1);
    add_commands(cli);
    const int rc = parse_and_run(cli, [&] { cli.app.parse(text.substr(start), false); });
    if (rc != kExitOk) {
      complain("script stopped at line %d", number);
      return rc;
    }
  }
}

}  // namespace

void add_script_command(Cli &cli) {
  auto path = std::make_shared<std::string>("-");
  CLI::App *cmd = cli.app.add_subcommand(
      "script", "run subcommands, one per line, from a file or standard input on one reader");
  cmd->add_option("file", *path, "the script (default -, standard input)");
  cmd->callback([&cli, path] {
    if (*path == "-") {
      cli.run([](Session &s) { return run_lines(s, std::cin, "standard input"); });
      return;
    }
    std::ifstream file(*path);
    // A directory opens, then fails its first read.
    if (!file || (file.peek(), file.bad()))
      throw CLI::ValidationError("script", "cannot read '" + *path + "'");
    cli.run([&file, path](Session &s) { return run_lines(s, file, "'" + *path + "'"); });
  });
}

}  // namespace velkor::tool
