#include "tools/cli/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace velkor::tool {

namespace {

std::string lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Decimal, or hex after 0x; nothing else (no octal, no sign games).
bool parse_number(const std::string &text, long *value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const std::size_t sign = !hex && !digits.empty() && digits[0] == '-' ? 1 : 0;
  if (digits.size() == sign || digits.size() > 12) return false;
  for (std::size_t i = sign; i < digits.size(); ++i)
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(digits[i]))
              : std::isdigit(static_cast<unsigned char>(digits[i]))))
      return false;
  *value = std::strtol(digits.c_str(), nullptr, hex ? 16 : 10);
  return true;
}

std::string range_text(long lowest, long highest) {
  return std::to_string(lowest) + " to " + std::to_string(highest);
}

}  // namespace

const Names kOnOff = {{"off", 0}, {"on", 1}};

CLI::Validator number_in(long lowest, long highest) {
  return CLI::Validator(
      [lowest, highest](std::string &text) -> std::string {
        long value = 0;
        if (!parse_number(text, &value)) return "'" + text + "' is not a number";
        if (value < lowest || value > highest)
          return text + " is not in range " + range_text(lowest, highest);
        text = std::to_string(value);
        return {};
      },
      "");
}

CLI::Validator seconds_in(double lowest, double highest) {
  return CLI::Validator(
      [lowest, highest](std::string &text) -> std::string {
        char *end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        const bool plain = !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
        if (!plain || *end != '\0') return "'" + text + "' is not a number of seconds";
        if (value >= lowest && value <= highest) return {};
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", lowest, highest);
        return text + " is not in range " + range;
      },
      "");
}

CLI::Validator one_of(const std::string &what, const std::vector<std::string> &words) {
  std::string known;
  for (const std::string &w : words) known += (known.empty() ? "" : ", ") + w;
  return CLI::Validator(
      [=](std::string &text) -> std::string {
        if (std::find(words.begin(), words.end(), text) != words.end()) return {};
        return "unknown " + what + " '" + text + "' (" + known + ")";
      },
      "");
}

CLI::Validator seed_number() {
  return CLI::Validator(
      [](std::string &text) -> std::string {
        if (text == "true") text = "1";  // the flag alone
        const bool digits = !text.empty() && text.size() <= 20 &&
                            text.find_first_not_of("0123456789") == std::string::npos;
        errno = 0;
        if (!digits || (std::strtoull(text.c_str(), nullptr, 10), errno == ERANGE))
          return "'" + text + "' is not a seed (a whole number from 0 to 2^64-1)";
        return {};
      },
      "");
}

CLI::Validator name_or_number(const std::string &what, const Names &names, int lowest,
                              int highest) {
  std::string known;
  for (const Name &n : names) known += std::string(n.name) + ", ";
  known += "or " + range_text(lowest, highest);
  return CLI::Validator(
      [=](std::string &text) -> std::string {
        for (const Name &n : names)
          if (lower(text) == n.name) {
            text = std::to_string(n.value);
            return {};
          }
        long value = 0;
        if (!parse_number(text, &value) || value < lowest || value > highest)
          return "unknown " + what + " '" + text + "' (" + known + ")";
        text = std::to_string(value);
        return {};
      },
      "");
}

CLI::Validator hex_length(std::size_t lowest, std::size_t highest, bool words) {
  return CLI::Validator(
      [=](std::string &text) -> std::string {
        std::string error;
        const std::optional<Bytes> bytes = parse_hex(text, &error);
        if (!bytes) return error;
        if (bytes->size() < lowest || bytes->size() > highest) {
          const std::string want = lowest == highest ? std::to_string(lowest)
                                                     : range_text(long(lowest), long(highest));
          return "'" + text + "' is " + std::to_string(bytes->size()) +
                 (bytes->size() == 1 ? " byte" : " bytes") + ", not " + want;
        }
        if (words && bytes->size() % 2 != 0)
          return "'" + text + "' is " + std::to_string(bytes->size()) +
                 " bytes, not whole 16-bit words";
        return {};
      },
      "");
}

CLI::Option *add_number(CLI::App *app, const std::string &name, int &value, long lowest,
                        long highest, const std::string &description) {
  return app->add_option(name, value, description)
      ->transform(number_in(lowest, highest))
      ->type_name("N");
}

CLI::Option *add_named(CLI::App *app, const std::string &name, int &value,
                       const std::string &what, const Names &names, int lowest, int highest,
                       const std::string &description) {
  return app->add_option(name, value, description)
      ->transform(name_or_number(what, names, lowest, highest))
      ->type_name("NAME");
}

CLI::Option *add_hex(CLI::App *app, const std::string &name, Bytes &value, std::size_t lowest,
                     std::size_t highest, const std::string &description, bool words) {
  return app
      ->add_option_function<std::string>(
          name, [&value](const std::string &text) { value = *parse_hex(text, nullptr); },
          description)
      ->check(hex_length(lowest, highest, words))
      ->type_name("HEX");
}

}  // namespace velkor::tool
