// Every command function of the library, ready to call on a device handle
// with arguments an emulated reader accepts: the benchmarks and the
// allocation checks walk it family by family.
#ifndef VELKOR_BENCH_COMMAND_TABLE_H
#define VELKOR_BENCH_COMMAND_TABLE_H

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "emulator/reader.h"
#include "velkor.h"

namespace velkor::bench {

/// The tags the commands name: the first Gen2 tag and the first 6B tag of
/// the emulated population.
struct TagNames {
  std::array<unsigned char, 12> epc{};
  std::array<unsigned char, 8> id6b{};
};

TagNames first_tags(const emu::Reader &reader);

struct CommandCall {
  const char *name;    ///< the function called
  const char *family;  ///< "identity", "gen2 inventory", "6b", ...
  int (*run)(const TagNames &tags, VelkorHandle handle);
};

/// Every command function, in an order that leaves the reader able to answer
/// the next one (the buffered inventory before the buffer read, nothing that
/// moves the reader's address or disables a tag).
std::span<const CommandCall> every_command();

/// The entry for a function name; nullptr when there is none.
const CommandCall *find_command(std::string_view name);

/// Whether a result came from the reader (a status it sent back) rather than
/// from a failed link, CRC or echo test.
bool answered_by_reader(int result);

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_COMMAND_TABLE_H
