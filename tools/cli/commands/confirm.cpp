#include "tools/cli/commands/confirm.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "tools/cli/cli.h"

namespace velkor::tool {

bool confirmed(const std::string &action, const std::string &which, bool yes) {
  if (yes) return true;
  if (!isatty(STDIN_FILENO)) {
    complain("%s cannot be undone: give --yes to do it without being asked", action.c_str());
    return false;
  }
  std::fflush(stdout);
  std::fprintf(stderr, "%s on tag %s cannot be undone. Go ahead? [y/N] ", action.c_str(),
               which.c_str());
  std::string answer;
  std::getline(std::cin, answer);
  if (answer == "y" || answer == "Y" || answer == "yes") return true;
  complain("%s: not done", action.c_str());
  return false;
}

}  // namespace velkor::tool
