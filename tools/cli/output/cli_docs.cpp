#include "tools/cli/output/cli_docs.h"

#include <functional>
#include <vector>

#include "tools/cli/output/help_format.h"

namespace velkor::tool {

namespace {

// A subcommand and where it sits ("region set").
struct Node {
  std::string path;
  const CLI::App *app;
};

bool hidden(const CLI::App *app) { return app->get_group().empty(); }

std::vector<Node> nodes_of(const CLI::App &root) {
  std::vector<Node> nodes;
  std::function<void(const std::string &, const CLI::App *)> walk =
      [&](const std::string &path, const CLI::App *app) {
        nodes.push_back({path, app});
        for (const CLI::App *sub : app->get_subcommands({}))
          if (!hidden(sub)) walk(path.empty() ? sub->get_name() : path + " " + sub->get_name(), sub);
      };
  walk("", &root);
  return nodes;
}

std::vector<const CLI::Option *> options_of(const CLI::App *app) {
  std::vector<const CLI::Option *> out;
  for (const CLI::Option *o : app->get_options())
    if (!o->get_lnames().empty() && !o->get_group().empty()) out.push_back(o);
  return out;
}

std::string words_of(const CLI::App *app) {
  std::string words;
  for (const CLI::App *sub : app->get_subcommands({}))
    if (!hidden(sub)) words += sub->get_name() + " ";
  for (const CLI::Option *o : options_of(app))
    for (const std::string &l : o->get_lnames()) words += "--" + l + " ";
  if (!words.empty()) words.pop_back();
  return words;
}

// Text safe inside a roff line and in single quotes.
std::string roff(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

std::string quoted(const std::string &text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string option_line(const CLI::Option *o) {
  std::string names;
  for (const std::string &s : o->get_snames()) names += "-" + s + ", ";
  for (const std::string &l : o->get_lnames()) names += "--" + l + ", ";
  names.resize(names.size() - 2);
  if (o->get_type_size() != 0 && !value_name(o).empty()) names += " " + value_name(o);
  return names;
}

std::string bash(const std::vector<Node> &nodes) {
  std::string known, cases;
  for (const Node &n : nodes) {
    if (!n.path.empty()) known += (known.empty() ? "" : "|") + quoted(" " + n.path);
    cases += "    " + quoted(n.path.empty() ? "" : " " + n.path) + ") words=" +
             quoted(words_of(n.app)) + " ;;\n";
  }
  return "# bash completion for velkor, written by velkor itself\n"
         "_velkor() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} path='' w words\n"
         "  for w in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
         "    case \"$path $w\" in\n      " + known + ") path=\"$path $w\" ;;\n    esac\n"
         "  done\n"
         "  case \"$path\" in\n" + cases + "  esac\n"
         "  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
         "}\n"
         "complete -o default -F _velkor velkor\n";
}

std::string zsh(const std::vector<Node> &nodes) {
  std::string known, cases;
  for (const Node &n : nodes) {
    if (!n.path.empty()) known += (known.empty() ? "" : "|") + quoted(" " + n.path);
    cases += "    " + quoted(n.path.empty() ? "" : " " + n.path) + ") offer=(" +
             words_of(n.app) + ") ;;\n";
  }
  return "#compdef velkor\n# zsh completion for velkor, written by velkor itself\n"
         "local p='' w\nlocal -a offer\n"
         "for w in \"${(@)words[2,CURRENT-1]}\"; do\n"
         "  case \"$p $w\" in\n    " + known + ") p=\"$p $w\" ;;\n  esac\n"
         "done\n"
         "case \"$p\" in\n" + cases + "esac\n"
         "compadd -- \"${offer[@]}\"\n";
}

std::string fish(const std::vector<Node> &nodes) {
  std::string out = "# fish completion for velkor, written by velkor itself\n"
                    "complete -c velkor -f\n";
  for (const Node &n : nodes) {
    // The condition under which this node's words are offered.
    const std::size_t cut = n.path.rfind(' ');
    const std::string last = cut == std::string::npos ? n.path : n.path.substr(cut + 1);
    const std::string when =
        n.path.empty() ? "" : " -n " + quoted("__fish_seen_subcommand_from " + last);
    for (const CLI::App *sub : n.app->get_subcommands({}))
      if (!hidden(sub))
        out += "complete -c velkor" +
               (n.path.empty() ? std::string(" -n __fish_use_subcommand") : when) + " -a " +
               quoted(sub->get_name()) + " -d " + quoted(sub->get_description()) + "\n";
    for (const CLI::Option *o : options_of(n.app))
      for (const std::string &l : o->get_lnames())
        out += "complete -c velkor" + when + " -l " + l +
               (o->get_type_size() != 0 ? " -r" : "") + " -d " +
               quoted(o->get_description()) + "\n";
  }
  return out;
}

}  // namespace

std::string man_page(const CLI::App &app) {
  std::string out = ".TH VELKOR 1 \"\" \"velkor\" \"User Commands\"\n"
                    ".SH NAME\nvelkor \\- " + roff(app.get_description().substr(8)) + "\n"  // after "velkor: "
                    ".SH SYNOPSIS\n.B velkor\n[\\fIOPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGS\\fR]\n"
                    ".SH DESCRIPTION\nUse a reader from the terminal or from scripts, on "
                    "hardware or on the built-in emulator (\\fB\\-\\-emulate\\fR).\n"
                    "The options below come before the command; each command's own options "
                    "follow it.\n.SH OPTIONS\n";
  const std::vector<Node> nodes = nodes_of(app);
  for (const Node &n : nodes) {
    if (!n.path.empty())
      out += (n.path.find(' ') == std::string::npos ? ".SH COMMAND \\fB" : ".SS \\fB") +
             roff(n.path) + "\\fR\n" + roff(n.app->get_description()) + "\n";
    for (const CLI::Option *o : n.app->get_options()) {
      if (o->get_group().empty() || o->get_name().empty()) continue;
      const std::string name =
          o->get_lnames().empty() && o->get_snames().empty() ? o->get_name() : option_line(o);
      out += ".TP\n.B " + roff(name) + "\n" + roff(HelpFormatter().make_option_desc(o)) + "\n";
    }
    // The examples, one command line each, as typed.
    if (!n.app->get_footer().empty()) {
      out += ".PP\n.nf\n";
      for (std::size_t at = 0, end; at < n.app->get_footer().size(); at = end + 1) {
        end = n.app->get_footer().find('\n', at);
        if (end == std::string::npos) end = n.app->get_footer().size();
        out += roff(n.app->get_footer().substr(at, end - at)) + "\n";
      }
      out += ".fi\n";
    }
  }
  out += ".SH EXIT STATUS\n.TP\n.B 0\nsuccess\n.TP\n.B 1\nthe reader refused or did not "
         "answer\n.TP\n.B 2\nbad input, no reader, or the reader in use by another program\n"
         ".TP\n.B 3\nnothing found: no tag in the field, no EAS alarm\n.TP\n.B 130\n"
         "\\fBinventory \\-\\-watch\\fR or \\fBcommission\\fR stopped by Ctrl\\-C, after its summary\n"
         ".SH SEE ALSO\nThe tool's page in the SDK's documentation (docs/tool.md).\n";
  return out;
}

std::string completion(const CLI::App &app, const std::string &shell) {
  const std::vector<Node> nodes = nodes_of(app);
  if (shell == "bash") return bash(nodes);
  if (shell == "zsh") return zsh(nodes);
  if (shell == "fish") return fish(nodes);
  return "";
}

}  // namespace velkor::tool
