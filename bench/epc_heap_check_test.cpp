// The EPC codec's decode path takes nothing from the heap: decoding and the
// three text forms, on good input and on bad.
#include <gtest/gtest.h>

#include <cstdint>

#include "bench/alloc_count.h"
#include "velkor_epc.h"

namespace {

TEST(EpcHeapCheck, DecodeAndTextFormsAllocateNothing) {
  const std::uint8_t inputs[][12] = {
      {0x30, 0x74, 0x25, 0x7B, 0xF7, 0x19, 0x4E, 0x40, 0x00, 0x00, 0x1A, 0x85},  // good
      {0x30, 0x7C, 0x25, 0x7B, 0xF7, 0x19, 0x4E, 0x40, 0x00, 0x00, 0x1A, 0x85},  // partition 7
      {0xFF, 0x74, 0x25, 0x7B, 0xF7, 0x19, 0x4E, 0x40, 0x00, 0x00, 0x1A, 0x85},  // header
  };
  int decoded = 0;
  velkor::bench::AllocationCount count;
  for (const auto &input : inputs) {
    velkor_epc_fields fields{};
    velkor_epc_error error{};
    char text[VELKOR_EPC_URI_MAX];
    if (velkor_epc_decode(input, sizeof input, &fields, &error) != VELKOR_EPC_OK) continue;
    ++decoded;
    EXPECT_EQ(velkor_epc_tag_uri(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
    EXPECT_EQ(velkor_epc_id_uri(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
    EXPECT_EQ(velkor_epc_gs1_string(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
    EXPECT_EQ(velkor_epc_tag_uri(&fields, text, 8, &error), VELKOR_EPC_BUFFER_TOO_SMALL);
  }
  EXPECT_EQ(count.count(), 0u);
  EXPECT_EQ(decoded, 1);
}

}  // namespace
