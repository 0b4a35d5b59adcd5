#include "tools/cli/cli.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/cli/output/help_format.h"
#include "tools/cli/output/trace_output.h"
#include "tools/cli/parse_errors.h"

namespace velkor::tool {

Cli::Cli() { app.formatter(std::make_shared<HelpFormatter>()); }

void Cli::run(const std::function<int(Session &)> &body) {
  if (shared) {
    exit_code = body(*shared);
    return;
  }
  SessionOptions options = global;
  if (trace) options.trace = print_trace;
  Result<std::unique_ptr<Session>> session = Session::open(options);
  if (!session) {
    exit_code = report(session.error());
    return;
  }
  exit_code = body(**session);
  if (Status saved = (*session)->finish(); !saved) {
    const int failed = report(saved.error());
    if (exit_code == kExitOk) exit_code = failed;
  }
}

int check(const Status &done, const char *what) {
  return done ? kExitOk : report(done.error(), what);
}

int check(const char *what, int status, int tag_error) {
  return status == STATUS_OK ? kExitOk : report(Error::from_status(status, what, tag_error));
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
    complain("%s", (parse_error_text(app, e) + " (see --help)").c_str());
    return kExitUsage;
  }
  return cli.exit_code;
}

}  // namespace velkor::tool
