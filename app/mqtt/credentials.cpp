#include "app/mqtt/credentials.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace velkor::app::mqtt {

std::optional<std::string> read_password(const std::string &file, std::string *error) {
  if (file.empty()) {
    const char *value = std::getenv(kPasswordVariable);
    if (!value) return std::nullopt;
    return std::string(value);
  }
  std::ifstream in(file);
  if (!in) {
    *error = "cannot read the password file " + file + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace velkor::app::mqtt
