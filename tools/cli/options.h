// Option values as people type them: numbers in decimal or 0x hex, names for
// banks and other enumerations, hex byte strings.  Every check runs while the
// command line is parsed, so bad input stops a command before it sends
// anything.
#ifndef VELKOR_TOOLS_OPTIONS_H
#define VELKOR_TOOLS_OPTIONS_H

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "app/base/hex.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

/// A number written in decimal or with 0x, within [lowest, highest].  The
/// text is rewritten in decimal, so "010" stays ten.
CLI::Validator number_in(long lowest, long highest);

/// A number of seconds, with a fraction if wanted, within [lowest, highest].
CLI::Validator seconds_in(double lowest, double highest);

/// One of the words (exactly); `what` names the kind in messages ("column").
CLI::Validator one_of(const std::string &what, const std::vector<std::string> &words);

/// An emulator seed: decimal digits that fit 64 bits; a flag given alone
/// (whose value CLI11 passes as "true") stands for seed 1.
CLI::Validator seed_number();

/// A name and the number it stands for.
struct Name {
  const char *name;
  int value;
};
using Names = std::vector<Name>;

/// A name from the table (any case) or a number in [lowest, highest]; the
/// text is rewritten as the number.  `what` names the kind in messages
/// ("bank").
CLI::Validator name_or_number(const std::string &what, const Names &names, int lowest,
                              int highest);

/// Hex bytes, between lowest and highest bytes long; with words set, a
/// whole number of 16-bit words (as Gen2 memory is written).
CLI::Validator hex_length(std::size_t lowest, std::size_t highest, bool words = false);

/// Adds an integer option checked by number_in.
CLI::Option *add_number(CLI::App *app, const std::string &name, int &value, long lowest,
                        long highest, const std::string &description);
/// Adds an integer option checked by name_or_number.
CLI::Option *add_named(CLI::App *app, const std::string &name, int &value,
                       const std::string &what, const Names &names, int lowest, int highest,
                       const std::string &description);
/// Adds a hex option checked by hex_length, stored as bytes.
CLI::Option *add_hex(CLI::App *app, const std::string &name, Bytes &value, std::size_t lowest,
                     std::size_t highest, const std::string &description, bool words = false);

/// on and off.
extern const Names kOnOff;

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_OPTIONS_H
