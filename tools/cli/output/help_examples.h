// The "Examples:" that end each subcommand's --help (and its part of the
// man page).
#ifndef VELKOR_TOOLS_HELP_EXAMPLES_H
#define VELKOR_TOOLS_HELP_EXAMPLES_H

#include <CLI/CLI.hpp>

namespace velkor::tool {

/// Gives every subcommand of app that has examples its "Examples:" footer.
void add_examples(CLI::App &app);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_HELP_EXAMPLES_H
