// `velkor serve`: the API and the web console over HTTP.
#ifndef VELKOR_SERVE_SERVE_COMMAND_H
#define VELKOR_SERVE_SERVE_COMMAND_H

#include "tools/cli/cli.h"

namespace velkor::serve {

/// Adds the `serve` subcommand to the tool.
void add_serve_command(tool::Cli &cli);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_SERVE_COMMAND_H
