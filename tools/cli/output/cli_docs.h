// The man page and the bash, zsh and fish completions, written from the
// tool's own option tree, so they never drift from what it accepts.
#ifndef VELKOR_TOOLS_CLI_DOCS_H
#define VELKOR_TOOLS_CLI_DOCS_H

#include <CLI/CLI.hpp>
#include <string>

namespace velkor::tool {

/// The man page (roff) of the program `app`.
std::string man_page(const CLI::App &app);
/// A completion script for the shell: "bash", "zsh" or "fish"; "" for
/// another name.
std::string completion(const CLI::App &app, const std::string &shell);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CLI_DOCS_H
