// The cases the benchmarks measure: one command per family on the reader it
// needs, each with the request the tests' command table gives it.  The same
// cases run on the fake platform (CPU cost) and over a socket pair in real
// time (pace).
#ifndef VELKOR_BENCH_BENCH_CASES_H
#define VELKOR_BENCH_BENCH_CASES_H

#include <algorithm>

#include "bench/command_table.h"
#include "emulator/reader.h"

namespace velkor::bench {

struct BenchCase {
  const char *key;      ///< part of the benchmark's name
  const char *label;    ///< the row of the table
  const char *command;  ///< the function measured
  emu::ReaderOptions options;
  Adjust adjust = nullptr;   ///< the case's own arguments, if any
  bool single_frame = true;  ///< whether the reply is one frame
};

/// An inventory of every tag in the field: no mask, TID or trailing group.
inline void every_tag(test::CallSetup &s) {
  s.scalars.mask_len = 0;
  std::fill(s.scalars.p.begin() + 3, s.scalars.p.end(), 0);
}

inline constexpr emu::ReaderOptions kTwoHundredTags{.seed = 1, .gen2_tags = 200,
                                                    .iso6b_tags = 0};

inline constexpr BenchCase kBenchCases[] = {
    {"identity", "identity: GetReaderInformation", "GetReaderInformation", {}},
    {"gen2_memory", "Gen2 memory: ReadData_G2, 4 words", "ReadData_G2", {}},
    {"6b", "6B: ReadData_6B, 12 bytes", "ReadData_6B", {}},
    {"buffer_count", "buffer: GetBufferCnt_G2", "GetBufferCnt_G2", {}},
    {"config", "config: GetSystemParameter", "GetSystemParameter", {}},
    {"gen2_inventory_200", "Gen2 inventory: Inventory_G2, 200 tags", "Inventory_G2",
     kTwoHundredTags, every_tag, false},
    {"buffer_read_200", "buffer: ReadBuffer_G2, 200 tags", "ReadBuffer_G2", kTwoHundredTags,
     nullptr, false},
};

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_BENCH_CASES_H
