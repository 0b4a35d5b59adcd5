#include "tools/cli/parse_errors.h"

#include <algorithm>
#include <cctype>

namespace velkor::tool {

namespace {

// The innermost subcommand the command line reached.
CLI::App *innermost(CLI::App *app) {
  for (std::vector<CLI::App *> parsed; !(parsed = app->get_subcommands()).empty();)
    app = parsed.front();
  return app;
}

// "6b read: " for a subcommand, nothing for the program itself.
std::string path_of(const CLI::App *app) {
  std::string path;
  for (; app->get_parent(); app = app->get_parent())
    path = app->get_name() + (path.empty() ? "" : " " + path);
  return path.empty() ? "" : path + ": ";
}

// The subcommands a user may type at app (not the hidden ones).
std::vector<std::string> subcommand_names(const CLI::App *app) {
  std::vector<std::string> names;
  for (const CLI::App *sub : app->get_subcommands({}))
    if (!sub->get_group().empty()) names.push_back(sub->get_name());
  return names;
}

// The long options valid at app: its own and, as options fall through, its
// parents'.
std::vector<std::string> option_names(const CLI::App *app) {
  std::vector<std::string> names;
  for (; app; app = app->get_parent())
    for (const CLI::Option *option : app->get_options())
      for (const std::string &name : option->get_lnames()) names.push_back("--" + name);
  return names;
}

std::string join(const std::vector<std::string> &words) {
  std::string text;
  for (const std::string &w : words) text += (text.empty() ? "" : ", ") + w;
  return text;
}

std::string suggestion(const std::string &word, const std::vector<std::string> &candidates) {
  const std::string near = nearest(word, candidates);
  return near.empty() ? "" : " (did you mean " + near + "?)";
}

// Words where none belonged: an unknown option or subcommand, or a value
// nothing takes.
std::string extras_text(CLI::App &app, CLI::App *at) {
  std::vector<std::string> extra = app.remaining(true);
  if (extra.empty()) extra = at->remaining(true);
  if (extra.empty()) return "unexpected argument";
  const auto option = std::find_if(extra.begin(), extra.end(),
                                   [](const std::string &w) { return w.rfind("-", 0) == 0; });
  if (option != extra.end()) {
    const std::string name = option->substr(0, option->find('='));
    return "unknown option '" + name + "'" + suggestion(name, option_names(at));
  }
  const std::vector<std::string> subcommands = subcommand_names(at);
  if (!subcommands.empty() && at->get_subcommands().empty())
    return "unknown subcommand '" + extra.front() + "'" + suggestion(extra.front(), subcommands);
  return "unexpected argument '" + extra.front() + "'";
}

// "--set: 1 required N missing", "--response: At least 2 required but
// received 1": how many values an option takes.
std::string mismatch_text(const std::string &what) {
  const std::size_t colon = what.find(": ");
  if (colon == std::string::npos) return what;
  const std::string name = what.substr(0, colon), rest = what.substr(colon + 2);
  if (rest.find("missing") != std::string::npos) return name + " needs a value";
  const std::size_t least = rest.find("At least ");
  const std::size_t received = rest.find("received ");
  if (least != std::string::npos && received != std::string::npos)
    return name + " needs " + rest.substr(least + 9, rest.find(' ', least + 9) - least - 9) +
           " values, not " + rest.substr(received + 9);
  return name + ": " + rest;
}

// "Could not convert: --duration = abc".
std::string conversion_text(const std::string &what) {
  const std::size_t colon = what.find(": "), equals = what.find(" = ");
  if (colon == std::string::npos || equals == std::string::npos || equals < colon) return what;
  return what.substr(colon + 2, equals - colon - 2) + ": '" + what.substr(equals + 3) +
         "' is not a valid value";
}

}  // namespace

std::string nearest(const std::string &word, const std::vector<std::string> &candidates) {
  std::string best;
  // A slip: a third of the word, at least one edit.
  std::size_t best_distance = std::max<std::size_t>(1, word.size() / 3) + 1;
  for (const std::string &c : candidates) {
    // Edit distance counting two swapped neighbours as one edit.
    std::vector<std::vector<std::size_t>> d(word.size() + 1,
                                            std::vector<std::size_t>(c.size() + 1));
    for (std::size_t i = 0; i <= word.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= c.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= word.size(); ++i)
      for (std::size_t j = 1; j <= c.size(); ++j) {
        d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                            d[i - 1][j - 1] + (word[i - 1] != c[j - 1])});
        if (i > 1 && j > 1 && word[i - 1] == c[j - 2] && word[i - 2] == c[j - 1])
          d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    if (d[word.size()][c.size()] < best_distance) {
      best_distance = d[word.size()][c.size()];
      best = c;
    }
  }
  return best;
}

std::string parse_error_text(CLI::App &app, const CLI::ParseError &e) {
  CLI::App *at = innermost(&app);
  std::string text = e.what();
  const bool no_subcommand =
      dynamic_cast<const CLI::RequiredError *>(&e) && text.rfind("A subcommand", 0) == 0;
  // A mistyped subcommand leaves a word over and no subcommand chosen.
  if (dynamic_cast<const CLI::ExtrasError *>(&e) ||
      (no_subcommand && !app.remaining(true).empty())) {
    text = extras_text(app, at);
  } else if (no_subcommand) {
    text = "a subcommand is required: " + join(subcommand_names(at));
  } else if (dynamic_cast<const CLI::ArgumentMismatch *>(&e)) {
    text = mismatch_text(text);
  } else if (dynamic_cast<const CLI::ConversionError *>(&e)) {
    text = conversion_text(text);
  }
  // "Could not..." reads on after "velkor: "; a name in capitals (HEX) stays.
  if (!text.empty() && !(text.size() > 1 && std::isupper(static_cast<unsigned char>(text[1]))))
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  // A global option's error is no subcommand's.
  const std::string first = text.substr(0, text.find_first_of(": "));
  if (first.rfind("--", 0) == 0 && !at->get_option_no_throw(first)) return text;
  return path_of(at) + text;
}

}  // namespace velkor::tool
