// What the C++ layer adds to the C call it wraps: the same command through
// velkor::Reader and through the C function, on the fake platform against a
// replay of the emulated reader's reports, so that the library and the layer
// are all that is timed.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "bench/replay_device.h"
#include "bench/uncounted_emulated_device.h"
#include "velkor.hpp"

namespace velkor::bench {
namespace {

// The fake platform's device, answering with the reports the emulated
// reader gave for one call of record(handle, epc of its first tag).
struct Replayed {
  using Record = std::function<void(VelkorHandle, const Bytes &)>;
  explicit Replayed(const Record &record) {
    fake::reset();
    UncountedEmulatedDevice emulated;
    epc = emulated.emulator.reader().tags.gen2[0].epc();
    handle = fake::attach(emulated);
    emulated.emulator.trace().record = true;
    record(handle, epc);
    fake::detach(handle);
    replay = std::make_unique<ReplayDevice>(emulated.emulator.trace());
    handle = fake::attach(*replay);
  }
  ~Replayed() { fake::reset(); }
  Bytes epc;
  std::unique_ptr<ReplayDevice> replay;
  VelkorHandle handle;
};

int serial_call(VelkorHandle h, const Bytes &) {
  unsigned char address = 0xFF, serial[VELKOR_SERIAL_SIZE];
  return GetSeriaNo(&address, serial, h);
}

int read_call(VelkorHandle h, const Bytes &epc) {
  unsigned char address = 0xFF, password[4] = {}, data[8];
  int error = -1;
  return ReadData_G2(&address, const_cast<unsigned char *>(epc.data()),
                     static_cast<unsigned char>(epc.size() / 2), VELKOR_BANK_TID, 0, 4, password,
                     0, nullptr, 0, nullptr, data, &error, h);
}

void serial_c(benchmark::State &state) {
  Replayed r(serial_call);
  for (auto _ : state) benchmark::DoNotOptimize(serial_call(r.handle, r.epc));
}

void serial_cpp(benchmark::State &state) {
  Replayed r(serial_call);
  Reader reader = Reader::adopt(r.handle);
  for (auto _ : state) benchmark::DoNotOptimize(reader.serial());
  reader.release();
}

void read_c(benchmark::State &state) {
  Replayed r(read_call);
  for (auto _ : state) benchmark::DoNotOptimize(read_call(r.handle, r.epc));
}

void read_cpp(benchmark::State &state) {
  Replayed r(read_call);
  Reader reader = Reader::adopt(r.handle);
  for (auto _ : state) benchmark::DoNotOptimize(reader.read(r.epc, Bank::tid, 0, 4));
  reader.release();
}

BENCHMARK(serial_c)->Name("cpp_layer/GetSeriaNo/C");
BENCHMARK(serial_cpp)->Name("cpp_layer/GetSeriaNo/Reader::serial");
BENCHMARK(read_c)->Name("cpp_layer/ReadData_G2/C");
BENCHMARK(read_cpp)->Name("cpp_layer/ReadData_G2/Reader::read");

}  // namespace
}  // namespace velkor::bench

BENCHMARK_MAIN();
