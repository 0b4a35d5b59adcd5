// How big the terminal is: what the terminal says (TIOCGWINSZ), else what
// $COLUMNS and $LINES say, else 80 by 24.  The rule apart from the ioctl,
// so that the layouts built on it are tested without a terminal.
#ifndef VELKOR_TOOLS_TERMINAL_SIZE_H
#define VELKOR_TOOLS_TERMINAL_SIZE_H

#include <cstddef>

namespace velkor::tool {

struct TerminalSize {
  std::size_t rows = 24;
  std::size_t columns = 80;
};

/// The size to use, from the terminal's own answer (0 for a part it did not
/// give) and the variables' text (null when unset; ignored unless a
/// positive number).
TerminalSize choose_terminal_size(unsigned rows, unsigned columns, const char *lines_variable,
                                  const char *columns_variable);

/// The size of the terminal on fd (by the rule above).
TerminalSize terminal_size(int fd);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TERMINAL_SIZE_H
