// velkor: list readers, read their settings, inventory and write tags, from a
// terminal, on a real reader or on the built-in emulator.
#include <cstdio>

#include "tools/cli.h"

using velkor::tool::Cli;

int main(int argc, char **argv) {
  Cli cli;
  CLI::App &app = cli.app;
  app.require_subcommand(1);
  app.fallthrough();
  app.set_version_flag("--version", [] {
    unsigned char v[3] = {};
    GetSDKVersion(v);
    return "velkor " + std::to_string(v[0]) + "." + std::to_string(v[1]) + "." +
           std::to_string(v[2]);
  });
  app.add_option("--emulate", cli.global.emulate,
                 "use the built-in reader emulator (optionally seeded) instead of hardware")
      ->expected(0, 1)
      ->default_str("1");
  app.add_option("--device", cli.global.device, "which of the readers found (from 0)")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--address", cli.global.address, "reader address, 0-255 (255: any reader)")
      ->check(CLI::Range(0, 255));
  app.add_flag("--trace", cli.global.trace,
               "print every report in both directions, with timestamps, to stderr");

  velkor::tool::add_identity_commands(cli);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion &e) {
    return app.exit(e);
  } catch (const CLI::ParseError &e) {
    std::fprintf(stderr, "velkor: %s (see --help)\n", e.what());
    return velkor::tool::kExitUsage;
  }
  return cli.exit_code;
}
