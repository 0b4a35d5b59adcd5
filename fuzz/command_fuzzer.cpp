// Fuzzes every exported command function against a device that answers with
// whatever input reports the fuzzer makes up: any payload count, any bytes,
// reads that deliver nothing, refused writes, any start of the millisecond
// tick; reports late enough to stay queued for a later read; with every
// frame's CRC made right, or as the input has it.  Every
// buffer the call gets is a heap block of exactly the size the
// header promises, so AddressSanitizer reports any access past one; a call
// that outlasts its collector's time limit, or returns a code outside
// 0..255, aborts; so does a status that is neither a link code nor a byte the
// device sent, and an output or the address written on a link failure.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"

using namespace velkor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::InputReader in(data, size);
  const fuzz::CommandInput command = fuzz::read_command(in);
  const test::CommandRow &row = test::command_rows()[command.row];
  const std::uint32_t start = in.u32();
  const std::uint8_t refused = in.u8();
  fuzz::ReportDevice device(in, refused, in.u8() & 1u);

  fake::reset();
  test::Call call = test::make_call(row, command.setup, 0xEE, 0);
  call.handle = fake::attach(device);
  fake::set_clock(start);
  const int code = row.call(call);
  const std::uint32_t elapsed = fake::clock() - start;
  fake::reset();

  const bool link_code = code == STATUS_COMM_ERROR || code == STATUS_CRC_ERROR ||
                         code == STATUS_INVALID_HANDLE || code == STATUS_COMMAND_MISMATCH ||
                         code == STATUS_PARAMETER_ERROR;
  const bool talks = row.collector != test::Collector::kLocal &&
                     row.collector != test::Collector::kControl;
  const bool received = device.sent(static_cast<std::uint8_t>(code));
  if (talks && !link_code && !received) {
    std::fprintf(stderr, "%s returned 0x%02X, which no frame carried\n", row.name, code);
    std::abort();
  }
  // A link code that no reply could have carried as its status is a link
  // failure: only the outputs written once the collector ran may change.
  if (talks && link_code && code != STATUS_PARAMETER_ERROR && !received) {
    bool untouched = call.address.holds(command.setup.scalars.address);
    for (std::size_t k = 0; k < row.outputs.size(); ++k)
      if (row.outputs[k].when != test::When::kCollected && !call.out[k].holds(call.fills[k]))
        untouched = false;
    if (!untouched) {
      std::fprintf(stderr, "%s wrote an output on link failure 0x%02X\n", row.name, code);
      std::abort();
    }
  }

  if (code < 0 || code > 0xFF) {
    std::fprintf(stderr, "%s returned %d\n", row.name, code);
    std::abort();
  }
  if (elapsed > test::time_limit_ms(row.collector) + test::kCallSlackMs) {
    std::fprintf(stderr, "%s took %u ms\n", row.name, elapsed);
    std::abort();
  }
  return 0;
}
