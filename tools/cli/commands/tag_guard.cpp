#include "tools/cli/commands/tag_guard.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/base/status_text.h"
#include "app/tags/inventory_round.h"
#include "tools/cli/cli.h"
#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

int only_tag(Session &s, const char *command, Bytes *epc) {
  MaskOptions everything;
  const InventoryRound round = inventory_round(s, everything);
  if (round.status == 0xFB || (round.answered() && round.epcs.empty())) {
    complain("%s: no tag in the field", command);
    return kExitNothing;
  }
  if (!round.answered()) return check(command, round.status);
  if (round.epcs.size() > 1) {
    complain("%s: %s in the field; name the one to change with --epc or --mask (see "
             "`velkor inventory`)",
             command, counted(round.epcs.size(), "tag").c_str());
    return kExitUsage;
  }
  *epc = round.epcs.front();
  return kExitOk;
}

int settle_target(Session &s, TargetOptions &target, const char *command, std::string *which) {
  if (target.mask.used()) {
    *which = "matching mask " + to_hex(target.mask.bytes);
    return kExitOk;
  }
  if (target.epc.empty()) {
    const int rc = only_tag(s, command, &target.epc);
    if (rc != kExitOk) return rc;
  }
  *which = to_hex(target.epc);
  return kExitOk;
}

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
