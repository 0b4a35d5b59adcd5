// Writes the command fuzzer's seed corpus: every command of the table run
// against the in-process emulator, its input reports taken from the wire
// trace.  Each command gets a clean exchange, one split into small pieces
// with the tick wrapping, and a few faulty ones.
//
//   velkor_fuzz_seeds DIRECTORY
#include <cstdio>
#include <string>

#include "fuzz/fuzz_input.h"
#include "tests/support/emulated_reader.h"

using namespace velkor;

namespace {

struct Variant {
  const char *name;
  emu::Faults faults;
  std::uint32_t start;
};

const Variant kVariants[] = {
    {"clean", {}, 0},
    {"pieces", {.split = {5}}, 0xFFFFFFFFu - 99u},
    {"stray", {.stray = {0x55}}, 0},
    {"endless", {.endless = true}, 0},
    {"status", {.status = 0xFC}, 0},
};

fuzz::Bytes seed(std::size_t index, const Variant &variant) {
  const test::CommandRow &row = test::command_rows()[index];
  fake::reset();
  test::EmulatedDevice device;
  device.emulator.trace().record = true;
  fuzz::CommandInput command{index, {}};
  row.setup(command.setup, device.emulator.reader());
  test::Call call = test::make_call(row, command.setup, 0xEE, 0);
  call.handle = fake::attach(device);
  device.emulator.inject_next(variant.faults);
  fake::set_clock(variant.start);
  row.call(call);
  fake::reset();

  fuzz::Bytes out;
  fuzz::write_command(command, out);
  fuzz::write_u32(variant.start, out);
  out.push_back(0);  // no write refused
  out.push_back(1);  // frames sealed: mutated replies keep passing the CRC test
  for (const emu::TraceEntry &entry : device.emulator.trace().entries)
    if (entry.direction == emu::TraceEntry::kFromReader) fuzz::write_report(entry.report, out);
  return out;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  int written = 0;
  for (std::size_t i = 0; i < test::command_rows().size(); ++i) {
    for (const Variant &variant : kVariants) {
      const fuzz::Bytes bytes = seed(i, variant);
      const std::string path = std::string(argv[1]) + "/" + test::command_rows()[i].name +
                               "-" + variant.name;
      std::FILE *f = std::fopen(path.c_str(), "wb");
      if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
      }
      std::fclose(f);
      ++written;
    }
  }
  std::printf("%d seeds written\n", written);
  return 0;
}
