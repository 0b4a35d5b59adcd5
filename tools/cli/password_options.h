// A tag password given as --NAME HEX, or, kept off the command line where
// every user of the machine can read it, as the first line of --NAME-file
// FILE or in an environment variable (when neither option is given).
#ifndef VELKOR_TOOLS_CLI_PASSWORD_OPTIONS_H
#define VELKOR_TOOLS_CLI_PASSWORD_OPTIONS_H

#include <CLI/CLI.hpp>
#include <string>

#include "app/base/hex.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

/// The variable a tag command's --password comes from when neither option is given.
constexpr const char *kTagPasswordVariable = "VELKOR_TAG_PASSWORD";
/// The variable commission's --access-password comes from likewise.
constexpr const char *kAccessPasswordVariable = "VELKOR_ACCESS_PASSWORD";

/// Adds `name` (8 hex digits) and `name`-file (FILE) to app, and reads
/// `variable` when neither is given; the four bytes go to *value and
/// *given is set when any of the three gave them.  A password from the
/// file or the variable that is not 8 hex digits stops the command with a
/// message that does not show it.  Returns the `name` option.
CLI::Option *add_password(CLI::App *app, const std::string &name, const char *variable,
                          const std::string &description, Bytes *value, bool *given);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CLI_PASSWORD_OPTIONS_H
