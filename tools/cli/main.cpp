// velkor: list readers, read their settings, inventory and write tags, from a
// terminal, on a real reader or on the built-in emulator.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <vector>

#include "emulator/velkor_emulator.h"
#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/cli_docs.h"
#include "tools/cli/output/help_examples.h"
#ifdef VELKOR_HAVE_SERVE
#include "tools/serve/serve_command.h"
#endif

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
  app.add_option("--device", cli.global.device,
                 "the reader: its index in `velkor list` (from 0), its device path or its "
                 "serial number")
      ->check(CLI::Validator(
          [](std::string &text) -> std::string {
            const bool digits = !text.empty() && text.size() <= 2 &&
                                text.find_first_not_of("0123456789") == std::string::npos;
            const bool serial = text.size() == 8 &&
                                text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
            if (digits || serial || text.find('/') != std::string::npos) return {};
            return "'" + text + "' is neither an index, a device path nor a serial number";
          },
          ""))
      ->type_name("WHICH");
  app.add_flag("--wait", cli.global.wait,
               "wait for a reader (or state file) another program is using, instead of "
               "stopping");
  std::vector<std::size_t> tags;
  app.add_option("--emulate-tags", tags,
                 "the emulated reader's tags: N Gen2 tags, or N,M for N Gen2 and M 6B tags, "
                 "each up to 1000 (default 6,2); implies --emulate")
      ->delimiter(',')
      ->expected(1, 2)
      ->transform(velkor::tool::number_in(0, VELKOR_EMULATOR_MAX_TAGS))
      ->type_name("N[,M]")
      ->each([&cli](const std::string &) {
        if (!cli.global.emulate) cli.global.emulate = 1;
      });
  app.add_option("--emulate-feed", cli.global.feed,
                 "place N fresh Gen2 tags on the emulated reader one at a time, the next once "
                 "the last one's EPC has changed (to try `commission`); the field holds no "
                 "other Gen2 tag unless --emulate-tags says so; with an --emulate-state file "
                 "that exists, N more join the tags it still has waiting; implies --emulate")
      ->check(CLI::Range(0, VELKOR_EMULATOR_MAX_TAGS))
      ->type_name("N")
      ->each([&cli](const std::string &) {
        if (!cli.global.emulate) cli.global.emulate = 1;
      });
  app.add_option("--emulate-state", cli.global.emulate_state,
                 "keep the emulated reader's tags and settings in FILE between runs (created "
                 "when missing; it wins over the seed and --emulate-tags); implies --emulate")
      ->type_name("FILE")
      ->each([&cli](const std::string &) {
        if (!cli.global.emulate) cli.global.emulate = 1;
      });
  velkor::tool::add_number(&app, "--address", cli.global.address, 0, 255,
                           "reader address, 0-255 (255: any reader)");
  app.add_flag("--trace", cli.trace,
               "print every report in both directions, with timestamps, to stderr");

  velkor::tool::add_commands(cli);
  velkor::tool::add_script_command(cli);
#ifdef VELKOR_HAVE_SERVE
  velkor::serve::add_serve_command(cli);
#endif
  velkor::tool::add_examples(app);
  // Hidden (no group): the build writes the man page and completions with it.
  std::string generated;
  CLI::App *generate = app.add_subcommand("generate", "write the man page or a completion");
  generate->group("");
  generate->add_option("what", generated, "man, bash, zsh or fish")
      ->required()
      ->check(CLI::IsMember({"man", "bash", "zsh", "fish"}));
  generate->callback([&] {
    const std::string text = generated == "man" ? velkor::tool::man_page(app)
                                                : velkor::tool::completion(app, generated);
    std::fputs(text.c_str(), stdout);
  });
  const int status = velkor::tool::parse_and_run(cli, [&] {
    app.parse_complete_callback([&] {
      if (cli.global.feed > 0) cli.global.gen2_tags = 0;
      if (!tags.empty()) cli.global.gen2_tags = tags[0];
      if (tags.size() > 1) cli.global.iso6b_tags = tags[1];
    });
    app.parse(argc, argv);
  });
  // Output that never arrived is a failure, not a success (a full disk, a
  // closed pipe: SIGPIPE is ignored above, so the writes fail instead).
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    // A reader that closed the pipe on purpose needs no message.
    if (errno != EPIPE) std::fprintf(stderr, "velkor: could not write standard output\n");
    return status == velkor::tool::kExitOk ? velkor::tool::kExitFailed : status;
  }
  return status;
}
