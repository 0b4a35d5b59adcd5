#include "tools/cli/output/terminal_size.h"

#include <sys/ioctl.h>

#include <cstdlib>
#include <cstring>

namespace velkor::tool {

namespace {

// A positive number of at most five digits, else `otherwise`.
std::size_t count_or(const char *text, std::size_t otherwise) {
  if (text == nullptr || *text == '\0' || std::strlen(text) > 5 ||
      std::strspn(text, "0123456789") != std::strlen(text))
    return otherwise;
  const std::size_t n = std::strtoul(text, nullptr, 10);
  return n > 0 ? n : otherwise;
}

}  // namespace

TerminalSize choose_terminal_size(unsigned rows, unsigned columns, const char *lines_variable,
                                  const char *columns_variable) {
  TerminalSize size;
  size.rows = rows > 0 ? rows : count_or(lines_variable, size.rows);
  size.columns = columns > 0 ? columns : count_or(columns_variable, size.columns);
  return size;
}

TerminalSize terminal_size(int fd) {
  winsize w{};
  if (ioctl(fd, TIOCGWINSZ, &w) != 0) w = {};
  return choose_terminal_size(w.ws_row, w.ws_col, std::getenv("LINES"), std::getenv("COLUMNS"));
}

}  // namespace velkor::tool
