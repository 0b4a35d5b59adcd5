// What every subcommand shares: the global options, the exit status, and
// running a body against an open reader.
#ifndef VELKOR_TOOLS_CLI_H
#define VELKOR_TOOLS_CLI_H

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>

#include "app/reader/session.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

/// Exit statuses: 0 success, 1 the reader refused or did not answer, 2 bad
/// input or no reader, 3 nothing found (no tag in the field, no EAS alarm),
/// 130 a --watch or commission stopped by Ctrl-C (after its summary), as
/// shells count it.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNothing = 3;
constexpr int kExitInterrupted = 130;

struct Cli {
  /// Sets the tool's help layout on app (its subcommands inherit it).
  Cli();

  CLI::App app{"velkor: use a Velkor UHF RFID reader from the terminal", "velkor"};
  GlobalOptions global;
  int exit_code = kExitOk;
  /// When set, commands run on this reader instead of opening one (the
  /// lines of a script).
  Session *shared = nullptr;

  /// Opens the reader and runs body with it; body returns the exit status.
  void run(const std::function<int(Session &)> &body);
};

/// A subcommand and the options it owns.
template <typename Options>
struct Command {
  CLI::App *app;
  std::shared_ptr<Options> options;
};

/// Adds subcommand `name` to parent with a fresh Options (kept alive by the
/// subcommand).  Once parsed, check (if any) looks at the options as a whole
/// (throwing CLI::ValidationError), then body runs with the reader.
template <typename Options>
Command<Options> add_command(Cli &cli, CLI::App *parent, const char *name, const char *help,
                             std::function<int(Session &, Options &)> body,
                             std::function<void(const Options &)> check = {}) {
  auto options = std::make_shared<Options>();
  CLI::App *app = parent->add_subcommand(name, help);
  app->callback([&cli, options, body, check] {
    if (check) check(*options);
    cli.run([&](Session &s) { return body(s, *options); });
  });
  return {app, options};
}

/// Prints "<what> failed: 0xFB (no tag in the field)" to standard error
/// unless status is 0; returns the exit status for it (kExitNothing for no
/// tag).
int check(const char *what, int status, int tag_error = -1);

/// "velkor: " and the message on standard error, after whatever standard
/// output holds, so the two keep their order in one file.
[[gnu::format(printf, 1, 2)]] void complain(const char *format, ...);

/// Adds every subcommand but `script` (which adds them again per line).
void add_commands(Cli &cli);

/// Runs parse (which parses a command line into cli.app, running its
/// subcommand) and returns the exit status; bad input gets one line on
/// standard error and kExitUsage.
int parse_and_run(Cli &cli, const std::function<void()> &parse);

/// Subcommand families.
void add_identity_commands(Cli &cli);
void add_inventory_commands(Cli &cli);
void add_gen2_commands(Cli &cli);
void add_iso6b_commands(Cli &cli);
void add_buffer_commands(Cli &cli);
void add_radio_commands(Cli &cli);
void add_config_commands(Cli &cli);
void add_io_commands(Cli &cli);
void add_script_command(Cli &cli);
void add_epc_commands(Cli &cli);
void add_commission_command(Cli &cli);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CLI_H
