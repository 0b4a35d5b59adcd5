// How `velkor ... --help` lays out an option: its names and value, then
// its description, with what it needs or excludes said in words at the end
// of the description instead of beside the names, where it ran into it.
#ifndef VELKOR_TOOLS_HELP_FORMAT_H
#define VELKOR_TOOLS_HELP_FORMAT_H

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

namespace velkor::tool {

class HelpFormatter : public CLI::Formatter {
 public:
  /// The value's name only ("N", "HEX ..."), and REQUIRED.
  std::string make_option_opts(const CLI::Option *option) const override;
  /// The description, then "(needs --x)" and "(not with --y)".
  std::string make_option_desc(const CLI::Option *option) const override;
  /// The footer (the examples) on lines of its own.
  std::string make_footer(const CLI::App *app) const override;
};

/// The value's name as the help and the man page show it: the type name
/// without what validators add to it ("FILE", not "FILE:FILE").
std::string value_name(const CLI::Option *option);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_HELP_FORMAT_H
