#include "tools/cli/password_options.h"

#include <cstdlib>

#include "app/files/secret_file.h"
#include "tools/cli/options.h"

namespace velkor::tool {

namespace {

// Four bytes from 8 hex digits, or a throw that names where they came from
// and never what they are.
Bytes password_of(const std::string &text, const std::string &option, const std::string &from) {
  const std::optional<Bytes> bytes = parse_hex(text, nullptr);
  if (!bytes || bytes->size() != 4) throw CLI::ValidationError(option, from + " is not 8 hex digits");
  return *bytes;
}

}  // namespace

CLI::Option *add_password(CLI::App *app, const std::string &name, const char *variable,
                          const std::string &description, Bytes *value, bool *given) {
  CLI::Option *hex = add_hex(app, name, *value, 4, 4,
                             description + " (which every user of the machine can see; "
                                           "else " + name + "-file or $" + variable + ")");
  hex->each([given](const std::string &) { *given = true; });
  CLI::Option *file =
      app->add_option_function<std::string>(
             name + "-file",
             [name, value, given](const std::string &path) {
               std::string secret, error;
               if (!read_secret_file(path, &secret, &error))
                 throw CLI::ValidationError(name + "-file", error);
               *value = password_of(secret, name + "-file", "the password in '" + path + "'");
               *given = true;
             },
             "read " + name.substr(2) + " from the first line of FILE")
          ->type_name("FILE")
          ->excludes(hex);
  // Added last, so its callback runs after both options': the variable
  // counts only when neither was given.  Hidden: it is no option to type.
  app->add_option_function<std::string>(
         name + "-from-environment",
         [name, variable, value, given, hex, file](const std::string &text) {
           if (hex->count() > 0 || file->count() > 0) return;
           *value = password_of(text, name, std::string("$") + variable);
           *given = true;
         },
         "")
      ->envname(variable)
      ->group("");
  return hex;
}

}  // namespace velkor::tool
