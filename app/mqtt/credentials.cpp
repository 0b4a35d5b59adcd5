#include "app/mqtt/credentials.h"

#include <cstdlib>

#include "app/files/secret_file.h"

namespace velkor::app::mqtt {

std::optional<std::string> read_password(const std::string &file, std::string *error) {
  if (file.empty()) {
    const char *value = std::getenv(kPasswordVariable);
    if (!value) return std::nullopt;
    return std::string(value);
  }
  std::string password;
  if (!read_secret_file(file, &password, error)) return std::nullopt;
  return password;
}

}  // namespace velkor::app::mqtt
