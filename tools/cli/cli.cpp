#include "tools/cli/cli.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "app/base/status_text.h"
#include "tools/cli/output/help_format.h"
#include "tools/cli/parse_errors.h"

namespace velkor::tool {

Cli::Cli() { app.formatter(std::make_shared<HelpFormatter>()); }

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
    complain("%s (see --help)", parse_error_text(app, e).c_str());
    return kExitUsage;
  }
  return cli.exit_code;
}

}  // namespace velkor::tool
