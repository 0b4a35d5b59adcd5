#include "bench/command_table.h"

#include <stdexcept>
#include <string>

namespace velkor::bench {

PreparedCall prepare_call(const test::CommandRow &row, emu::Reader &reader,
                          VelkorHandle handle, Adjust adjust) {
  test::CallSetup setup;
  row.setup(setup, reader);
  if (adjust != nullptr) adjust(setup);
  PreparedCall prepared{&row, test::make_call(row, setup, 0x00, 0)};
  prepared.call.handle = handle;
  return prepared;
}

const test::CommandRow &row_named(std::string_view name) {
  for (const test::CommandRow &row : test::command_rows())
    if (name == row.name) return row;
  throw std::invalid_argument("no command " + std::string(name));
}

bool answered_by_reader(int result) {
  return result != STATUS_COMM_ERROR && result != STATUS_CRC_ERROR &&
         result != STATUS_COMMAND_MISMATCH && result != STATUS_INVALID_HANDLE;
}

}  // namespace velkor::bench
