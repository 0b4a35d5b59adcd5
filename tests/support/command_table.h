// One row per exported command function: how to call it with buffers of
// exactly the sizes its contract promises, which reply collector it runs, and
// when it may write the reader address and each output.  The fault matrix, the
// fuzzers, the seed-corpus generator and the benchmarks all work from this
// table.
#ifndef VELKOR_TESTS_COMMAND_TABLE_H
#define VELKOR_TESTS_COMMAND_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "tests/support/guarded_block.h"
#include "velkor.h"

namespace velkor::emu {
class Reader;
}

namespace velkor::test {

using Bytes = std::vector<std::uint8_t>;

/// How a command fetches its reply.
enum class Collector {
  kLocal,      ///< talks to no device
  kControl,    ///< writes one control report, reads nothing
  kSingle,     ///< GetDataFromPort
  kInventory,  ///< GetInventoryDataFromPort1
  kBuffer,     ///< GetBufferDataFromPort
  kLength,     ///< GetDataFromPort_buff
};

/// The collector's own time limit (0 for those that collect nothing).
std::uint32_t time_limit_ms(Collector collector);

/// Besides its collector's limit a call may spend a begin report and a frame
/// write (50 ms each when refused) and the poll cycle under way when the limit
/// passes (poll and acknowledge writes, the read, the pause).
constexpr std::uint32_t kCallSlackMs = 50 + 50 + (50 + 100 + 50 + 50);

/// When a call may write the reader address or an output.
enum class When {
  kNever,
  kOnSuccess,  ///< after a good reply carrying the command's success status
  kAnswered,   ///< after any good reply (for local functions: always)
  kTagError,   ///< after a good reply of status 0 or 0xFC (the tag error code)
  kCollected,  ///< once the collector ran, whatever came of it
};

/// The scalar arguments of a call.  The few every family shares have names;
/// the other byte arguments are p[0..] in the row's own order.
struct Scalars {
  static constexpr std::size_t kParams = 12;
  std::uint8_t address = 0;     ///< reader address the call starts with
  std::uint8_t words = 0;       ///< E: identifier words, or 0xFF for the mask form
  std::uint8_t word_count = 0;  ///< Gen2 words read, written or erased
  std::uint8_t mask_len = 0;    ///< mask length in bits
  std::uint8_t byte_count = 0;  ///< 6B bytes read or written
  std::array<std::uint8_t, kParams> p{};
};

/// An input or output buffer of a row; its size follows from the scalars.
struct BlockShape {
  const char *name;
  std::size_t (*size)(const Scalars &);
  When when = When::kNever;  ///< outputs only
};

/// One call in progress: the arguments laid out in guarded blocks.
struct Call {
  Scalars scalars;
  std::vector<GuardedBlock> in;
  std::vector<GuardedBlock> out;
  std::vector<std::uint8_t> fills;  ///< what each output started as
  GuardedBlock address{1, 0};
  VelkorHandle handle{};

  std::uint8_t *i(std::size_t k) { return in[k].data(); }
  std::uint8_t *o(std::size_t k) { return out[k].data(); }
  int *oi(std::size_t k) { return reinterpret_cast<int *>(out[k].data()); }
  unsigned char *a() { return address.data(); }
  const std::uint8_t &p(std::size_t k) const { return scalars.p[k]; }
  /// p[k..k+3] as a little-endian int (the few int arguments).
  int p32(std::size_t k) const {
    return static_cast<int>(static_cast<std::uint32_t>(p(k)) | std::uint32_t{p(k + 1)} << 8 |
                            std::uint32_t{p(k + 2)} << 16 | std::uint32_t{p(k + 3)} << 24);
  }
};

/// A request the emulated reader accepts: scalars and input contents.
struct CallSetup {
  Scalars scalars;
  std::vector<Bytes> inputs;  ///< by input index; missing bytes are zero
  /// Outputs that are inputs too, and the byte they start with (instead of
  /// the sentinel).
  std::vector<std::pair<std::size_t, std::uint8_t>> preset = {};
};

struct CommandRow {
  const char *name;
  Collector collector;
  bool begin = false;  ///< a begin control report precedes the frame
  bool crc = true;     ///< the reply's CRC is tested
  bool echo = true;    ///< the reply's echo is tested
  std::uint8_t success = 0;
  When address = When::kNever;
  std::vector<BlockShape> inputs = {};
  std::vector<BlockShape> outputs = {};
  int (*call)(Call &);
  /// Prepares the emulated reader and a request it accepts.
  void (*setup)(CallSetup &, emu::Reader &);
  /// The status the emulated reader answers that request with.
  int clean;
};

/// Every exported command function, in header order.
const std::vector<CommandRow> &command_rows();

/// Exported names that are not command functions (the link layer, discovery),
/// with what tests them instead.
struct NotACommand {
  const char *name;
  const char *tested_by;
};
const std::vector<NotACommand> &not_commands();

/// Lays out a call: guarded blocks of the row's sizes, inputs filled from the
/// setup, outputs filled with fill, guard bytes after each block.
Call make_call(const CommandRow &row, const CallSetup &setup, std::uint8_t fill,
               std::size_t guard);

}  // namespace velkor::test

#endif  // VELKOR_TESTS_COMMAND_TABLE_H
