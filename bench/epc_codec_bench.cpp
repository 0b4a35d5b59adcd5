// The EPC codec's speed on one core: SGTIN-96 decoding (the target is ten
// million a second), and decoding with the tag URI, and encoding a tag URI.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "velkor_epc.h"

namespace {

// Serials 0..1023 of one GTIN, so that the digits differ call to call.
struct Sgtin96s {
  std::uint8_t bytes[1024][12];
  Sgtin96s() {
    for (unsigned i = 0; i < 1024; ++i) {
      const std::uint8_t base[12] = {0x30, 0x74, 0x25, 0x7B, 0xF7, 0x19,
                                     0x4E, 0x40, 0x00, 0x00, 0x00, 0x00};
      for (int b = 0; b < 12; ++b) bytes[i][b] = base[b];
      bytes[i][10] = static_cast<std::uint8_t>(i >> 8);
      bytes[i][11] = static_cast<std::uint8_t>(i);
    }
  }
};
const Sgtin96s kEpcs;

void BM_DecodeSgtin96(benchmark::State &state) {
  velkor_epc_fields fields;
  unsigned i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velkor_epc_decode(kEpcs.bytes[i++ & 1023], 12, &fields, nullptr));
    benchmark::DoNotOptimize(fields);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeSgtin96);

void BM_DecodeSgtin96ToTagUri(benchmark::State &state) {
  velkor_epc_fields fields;
  char uri[VELKOR_EPC_URI_MAX];
  unsigned i = 0;
  for (auto _ : state) {
    velkor_epc_decode(kEpcs.bytes[i++ & 1023], 12, &fields, nullptr);
    benchmark::DoNotOptimize(velkor_epc_tag_uri(&fields, uri, sizeof uri, nullptr));
    benchmark::DoNotOptimize(uri);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeSgtin96ToTagUri);

void BM_EncodeSgtin96TagUri(benchmark::State &state) {
  std::uint8_t epc[VELKOR_EPC_BYTES_MAX];
  std::size_t length = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velkor_epc_encode_tag_uri(
        "urn:epc:tag:sgtin-96:3.0614141.812345.6789", epc, sizeof epc, &length, nullptr));
    benchmark::DoNotOptimize(epc);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeSgtin96TagUri);

}  // namespace

BENCHMARK_MAIN();
