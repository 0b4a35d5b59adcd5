// The broker password: from a file or from the environment, never from the
// command line (where every user of the machine can see it).
#ifndef VELKOR_APP_MQTT_CREDENTIALS_H
#define VELKOR_APP_MQTT_CREDENTIALS_H

#include <optional>
#include <string>

namespace velkor::app::mqtt {

/// The variable read when no password file is named.
constexpr const char *kPasswordVariable = "VELKOR_MQTT_PASSWORD";

/// The first line of `file` (without its line end) when a file is named,
/// else the variable's value, else nothing.  A file that cannot be read is
/// an error, said in *error without any of its contents.
std::optional<std::string> read_password(const std::string &file, std::string *error);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_CREDENTIALS_H
