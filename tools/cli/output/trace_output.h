// --trace: every report that passes, in both directions, on standard error.
#ifndef VELKOR_TOOLS_TRACE_OUTPUT_H
#define VELKOR_TOOLS_TRACE_OUTPUT_H

#include "emulator/trace.h"

namespace velkor::tool {

/// Prints a trace entry to standard error, after what standard output holds.
void print_trace(const emu::TraceEntry &entry);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TRACE_OUTPUT_H
