#include "tools/cli/output/help_format.h"

namespace velkor::tool {

namespace {

std::string names(const std::set<CLI::Option *> &options) {
  std::string text;
  for (const CLI::Option *o : options) text += (text.empty() ? "" : ", ") + o->get_name();
  return text;
}

}  // namespace

std::string value_name(const CLI::Option *option) {
  const std::string type = option->get_type_name();
  return type.substr(0, type.find(':'));
}

std::string HelpFormatter::make_option_opts(const CLI::Option *option) const {
  if (option->get_type_size() == 0) return "";
  std::string out;
  if (!value_name(option).empty()) out += " " + value_name(option);
  if (option->get_expected_max() == CLI::detail::expected_max_vector_size)
    out += " ...";
  else if (option->get_expected_min() > 1)
    out += " x " + std::to_string(option->get_expected_min());
  if (option->get_required()) out += " REQUIRED";
  return out;
}

std::string HelpFormatter::make_option_desc(const CLI::Option *option) const {
  std::string out = option->get_description();
  if (!option->get_needs().empty()) out += " (needs " + names(option->get_needs()) + ")";
  if (!option->get_excludes().empty())
    out += " (not with " + names(option->get_excludes()) + ")";
  return out;
}

std::string HelpFormatter::make_footer(const CLI::App *app) const {
  return app->get_footer().empty() ? "" : app->get_footer() + "\n";
}

}  // namespace velkor::tool
