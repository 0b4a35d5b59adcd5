#include "tools/cli/output/trace_output.h"

#include <cstdio>
#include <string>

namespace velkor::tool {

void print_trace(const emu::TraceEntry &entry) {
  const std::string line = emu::format(entry) + "\n";
  std::fflush(stdout);
  std::fputs(line.c_str(), stderr);
}

}  // namespace velkor::tool
