#include "tools/cli.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/output/status_text.h"

namespace velkor::tool {

void Cli::run(const std::function<int(Session &)> &body) {
  if (shared) {
    exit_code = body(*shared);
    return;
  }
  std::string error;
  std::unique_ptr<Session> session = Session::open(global, &error);
  if (!session) {
    complain("%s", error.c_str());
    exit_code = kExitUsage;
    return;
  }
  exit_code = body(*session);
  if (!session->finish(&error)) {
    complain("%s", error.c_str());
    if (exit_code == kExitOk) exit_code = kExitFailed;
  }
}

int check(const char *what, int status, int tag_error) {
  if (status == STATUS_OK) return kExitOk;
  complain("%s failed: %s", what, describe(status, tag_error).c_str());
  return status == 0xFB ? kExitNothing : kExitFailed;
}

void complain(const char *format, ...) {
  std::fflush(stdout);
  std::va_list args;
  va_start(args, format);
  std::fputs("velkor: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
}

void add_commands(Cli &cli) {
  add_identity_commands(cli);
  add_inventory_commands(cli);
  add_gen2_commands(cli);
  add_iso6b_commands(cli);
  add_buffer_commands(cli);
  add_radio_commands(cli);
  add_config_commands(cli);
  add_io_commands(cli);
  add_epc_commands(cli);
  add_commission_command(cli);
}

namespace {

// The innermost subcommand the command line reached.
CLI::App *innermost(CLI::App *app) {
  for (std::vector<CLI::App *> parsed; !(parsed = app->get_subcommands()).empty();)
    app = parsed.front();
  return app;
}

// "eas: " for a subcommand, nothing for the program itself.
std::string path_of(const CLI::App *app) {
  std::string path;
  for (; app->get_parent(); app = app->get_parent())
    path = app->get_name() + (path.empty() ? "" : " " + path);
  return path.empty() ? "" : path + ": ";
}

// A word where a subcommand belongs, or a subcommand left out, is named for
// what it is; "" for any other error.
std::string subcommand_error(CLI::App &app) {
  CLI::App *at = innermost(&app);
  const std::vector<CLI::App *> choices = at->get_subcommands({});
  if (choices.empty()) return "";
  const std::vector<std::string> extra = app.remaining(true);
  if (!extra.empty()) return path_of(at) + "unknown subcommand '" + extra.front() + "'";
  if (at->get_require_subcommand_min() == 0) return "";
  std::string names;
  for (const CLI::App *sub : choices) names += (names.empty() ? "" : ", ") + sub->get_name();
  return path_of(at) + "a subcommand is required: " + names;
}

}  // namespace

int parse_and_run(Cli &cli, const std::function<void()> &parse) {
  CLI::App &app = cli.app;
  try {
    parse();
  } catch (const CLI::CallForHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion &e) {
    return app.exit(e);
  } catch (const CLI::ParseError &e) {
    const bool about_subcommand =
        dynamic_cast<const CLI::RequiredError *>(&e) || dynamic_cast<const CLI::ExtrasError *>(&e);
    const std::string named = about_subcommand ? subcommand_error(app) : "";
    complain("%s (see --help)", named.empty() ? e.what() : named.c_str());
    return kExitUsage;
  }
  return cli.exit_code;
}

}  // namespace velkor::tool
