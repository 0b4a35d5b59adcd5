#include "tools/cli.h"

#include <cstdio>

#include "tools/status_text.h"

namespace velkor::tool {

void Cli::run(const std::function<int(Session &)> &body) {
  if (shared) {
    exit_code = body(*shared);
    return;
  }
  std::string error;
  std::unique_ptr<Session> session = Session::open(global, &error);
  if (!session) {
    std::fprintf(stderr, "velkor: %s\n", error.c_str());
    exit_code = kExitUsage;
    return;
  }
  exit_code = body(*session);
}

int check(const char *what, int status, int tag_error) {
  if (status == STATUS_OK) return kExitOk;
  std::fprintf(stderr, "velkor: %s failed: %s\n", what, describe(status, tag_error).c_str());
  return kExitFailed;
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
    std::fprintf(stderr, "velkor: %s (see --help)\n", e.what());
    return kExitUsage;
  }
  return cli.exit_code;
}

}  // namespace velkor::tool
