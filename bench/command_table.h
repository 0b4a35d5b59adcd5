// The benchmarks and the allocation checks call the command functions
// through the tests' command table (one row per exported command function,
// with a request the emulated reader accepts); this adds what they need on
// top of it: a call laid out once and run as often as wanted.
#ifndef VELKOR_BENCH_COMMAND_TABLE_H
#define VELKOR_BENCH_COMMAND_TABLE_H

#include <string_view>

#include "emulator/reader.h"
#include "tests/support/command_table.h"
#include "velkor.h"

namespace velkor::bench {

/// Changes a row's request before it is laid out (a bench case's own
/// arguments); nullptr keeps the row's request.
using Adjust = void (*)(test::CallSetup &);

/// A row's call with its buffers laid out, ready to run on a handle.  Laying
/// it out allocates; running it must not.
struct PreparedCall {
  const test::CommandRow *row;
  test::Call call;

  int run() { return row->call(call); }
};

/// Prepares the reader for the row, lays out the request it then accepts
/// (adjusted, if asked) and aims it at handle.
PreparedCall prepare_call(const test::CommandRow &row, emu::Reader &reader,
                          VelkorHandle handle, Adjust adjust = nullptr);

/// The row of the function named; throws std::invalid_argument when none.
const test::CommandRow &row_named(std::string_view name);

/// Whether a result came from the reader (a status it sent back) rather than
/// from a failed link, CRC or echo test.
bool answered_by_reader(int result);

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_COMMAND_TABLE_H
