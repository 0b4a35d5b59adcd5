// The argument parser's complaints in the tool's own words: lowercase, the
// option's name and the bad value in each, and a "did you mean" for a
// mistyped subcommand or option.
#ifndef VELKOR_TOOLS_PARSE_ERRORS_H
#define VELKOR_TOOLS_PARSE_ERRORS_H

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace velkor::tool {

/// The message for error e, raised while app parsed a command line: begins
/// with the subcommand the error is about ("6b read: ...").
std::string parse_error_text(CLI::App &app, const CLI::ParseError &e);

/// The candidate nearest to word by edit distance, if it is near enough to
/// be a slip of the keyboard; "" otherwise.
std::string nearest(const std::string &word, const std::vector<std::string> &candidates);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_PARSE_ERRORS_H
