#include "emulator/trace.h"

#include <cstdio>

namespace velkor::emu {

std::string format(const TraceEntry &entry) {
  char head[48];
  std::snprintf(head, sizeof head, "%4u.%03u s  %s  ", entry.ms / 1000, entry.ms % 1000,
                entry.direction == TraceEntry::kToReader ? "host > reader"
                                                         : "reader > host");
  std::size_t last = entry.report.size();
  while (last > 2 && entry.report[last - 1] == 0) --last;
  std::string line = head;
  for (std::size_t i = 0; i < last; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", entry.report[i]);
    line += hex;
  }
  return line;
}

}  // namespace velkor::emu
