// script: subcommands one per line, all on one reader.  The emulated reader
// lives as long as the process, so this is how a write and the read that
// checks it meet the same emulated tag.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "tools/cli.h"

namespace velkor::tool {

namespace {

struct Line {
  int number;
  std::string text;
};

// The lines worth running: blank lines and # comments are left out.
std::vector<Line> commands_in(std::istream &in) {
  std::vector<Line> lines;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos || text[start] == '#') continue;
    lines.push_back({number, text.substr(start)});
  }
  return lines;
}

// Stops at the first line that fails, with that line's exit status.
int run_lines(Session &s, const std::vector<Line> &lines) {
  for (const Line &line : lines) {
    Cli cli;
    cli.shared = &s;
    cli.app.require_subcommand(1);
    add_commands(cli);
    const int rc = parse_and_run(cli, [&] { cli.app.parse(line.text, false); });
    if (rc != kExitOk) {
      complain("script stopped at line %d", line.number);
      return rc;
    }
  }
  return kExitOk;
}

}  // namespace

void add_script_command(Cli &cli) {
  auto path = std::make_shared<std::string>("-");
  CLI::App *cmd = cli.app.add_subcommand(
      "script", "run subcommands, one per line, from a file or standard input on one reader");
  cmd->add_option("file", *path, "the script (default -, standard input)");
  cmd->callback([&cli, path] {
    std::vector<Line> lines;
    if (*path == "-") {
      lines = commands_in(std::cin);
    } else {
      std::ifstream file(*path);
      if (!file) throw CLI::ValidationError("script", "cannot read '" + *path + "'");
      lines = commands_in(file);
    }
    cli.run([&lines](Session &s) { return run_lines(s, lines); });
  });
}

}  // namespace velkor::tool
