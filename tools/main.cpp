// velkor: list readers, read their settings, inventory and write tags, from a
// terminal, on a real reader or on the built-in emulator.
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "tools/cli.h"
#include "tools/options.h"

using velkor::tool::Cli;

int main(int argc, char **argv) {
  // The handle may be a socket (the emulator, the trace relay): a reader that
  // went away must show as a failed write, not end the program.
  std::signal(SIGPIPE, SIG_IGN);

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
  // A flag, so that its seed is only ever written --emulate=SEED: a word
  // after a bare --emulate is the subcommand, never a seed.
  std::string seed;
  app.add_flag("--emulate", seed,
               "use the built-in reader emulator instead of hardware; =SEED picks another "
               "population (default 1)")
      ->transform(velkor::tool::seed_number())
      ->each([&cli](const std::string &seed) { cli.global.emulate = std::stoull(seed); })
      ->type_name("[=SEED]");
  velkor::tool::add_number(&app, "--device", cli.global.device, 0, VELKOR_MAX_DEVICES - 1,
                           "which of the readers found (from 0)");
  velkor::tool::add_number(&app, "--address", cli.global.address, 0, 255,
                           "reader address, 0-255 (255: any reader)");
  app.add_flag("--trace", cli.global.trace,
               "print every report in both directions, with timestamps, to stderr");

  velkor::tool::add_commands(cli);
  velkor::tool::add_script_command(cli);
  const int status = velkor::tool::parse_and_run(cli, [&] { app.parse(argc, argv); });
  // Output that never arrived is a failure, not a success (a full disk, a
  // closed pipe: SIGPIPE is ignored above, so the writes fail instead).
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    // A reader that closed the pipe on purpose needs no message.
    if (errno != EPIPE) std::fprintf(stderr, "velkor: could not write standard output\n");
    return status == velkor::tool::kExitOk ? velkor::tool::kExitFailed : status;
  }
  return status;
}
