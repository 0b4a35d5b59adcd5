// Every command function against every fault the emulator can inject, with
// the virtual clock starting at 0 and just before the tick counter wraps: the
// call returns the code the library promises, writes the address and outputs
// only as its write-back variant allows, writes nothing past its buffers, and
// ends within its collector's time limit.  Whatever the fault, the next call
// on the handle gets its own reply, and the host breaks no rule of the report
// protocol.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "emulator/command.h"
#include "tests/support/command_table.h"
#include "tests/support/emulated_device.h"

namespace velkor::test {
namespace {

constexpr std::uint8_t kSentinel = 0xEE;
constexpr std::size_t kGuard = 16;
constexpr std::uint8_t kReaderAddress = 0x07;
constexpr std::uint8_t kBroadcast = 0xFF;
// Starting here the millisecond tick wraps half a second into the call.
constexpr std::uint32_t kBeforeWrap = 0xFFFFFFFFu - 499u;

enum class Kind {
  kNone,
  kSilence,
  kPartial,
  kCorruptCrc,
  kWrongEcho,
  kStatus,
  kStray,
  kOversizedCount,
  kEndless,
  kRefusedWrite,
  kFailedRead,
  kLate,             // the first report misses the host's read limit
  kRestAfterGiveUp,  // the rest of the reply comes only after the host gave up
  kPadding,          // zero bytes after the last frame
  kLengthLie,        // a length byte claiming more or fewer bytes than sent
  kZeroResidue,      // the first report ends in a zero CRC residue
  kStopsReading,     // the reader takes no output report after the frame
  kSecondHandle,     // another handle's exchange leaves copies on this one
};

struct Fault {
  std::string name;
  Kind kind;
  emu::Faults faults;
  std::uint8_t status = 0;  // kStatus: the status the last frame carries
};

std::vector<Fault> all_faults() {
  std::vector<Fault> faults = {
      {"none", Kind::kNone, {}},
      {"silence", Kind::kSilence, {.silence = true}},
      {"partial_reply", Kind::kPartial, {.cut_tail = 1}},
      {"corrupt_crc", Kind::kCorruptCrc, {.corrupt_crc = true}},
      {"wrong_echo", Kind::kWrongEcho, {.echo = 0x99}},
      {"stray_byte", Kind::kStray, {.stray = {0x55}}},
      {"oversized_count", Kind::kOversizedCount, {.oversized_count = 0x50}},
      {"endless_frames", Kind::kEndless, {.endless = true}},
      {"refused_write", Kind::kRefusedWrite, {.refuse_writes = 1}},
      {"failed_read", Kind::kFailedRead, {.fail_reads = 1}},
      {"late_report", Kind::kLate, {.late_ms = 120}},
      {"rest_after_give_up", Kind::kRestAfterGiveUp, {.split = {1, 62}, .linger_ms = 20000}},
      {"zero_padding", Kind::kPadding, {.zero_padding = 8}},
      {"length_more", Kind::kLengthLie, {.length_lie = 3}},
      {"length_less", Kind::kLengthLie, {.length_lie = -3}},
      {"zero_residue_report", Kind::kZeroResidue, {.zero_residue_first = true}},
      {"stops_reading", Kind::kStopsReading, {.stop_reading = true}},
      {"second_handle", Kind::kSecondHandle, {}},
  };
  // Success, the inventories' final and non-final statuses, a tag error, the
  // reader's refusals (0xFF shares its value with STATUS_PARAMETER_ERROR).
  for (std::uint8_t s : {0x00, 0x01, 0x02, 0x03, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF}) {
    char name[16];
    std::snprintf(name, sizeof name, "status_%02X", s);
    faults.push_back({name, Kind::kStatus, {.status = s}, s});
  }
  return faults;
}

// How far a call gets, as its contract promises for a fault.
enum class Stage {
  kNothingSent,  // refused before sending, or the begin report failed
  kFailed,       // the collector failed, or the reply failed its CRC or echo test
  kAnswered,     // a good reply: the code is its status
};

struct Promise {
  Stage stage;
  int code;
};

bool final_inventory_status(int s) {
  switch (s) {
    case 0x01: case 0x02: case 0xF8: case 0xF9:
    case 0xFB: case 0xFD: case 0xFE: case 0xFF:
      return true;
    default:
      return false;
  }
}

// A reply whose last frame carries status s.
Promise with_status(const CommandRow &row, int s) {
  switch (row.collector) {
    case Collector::kInventory:  // only a final status completes the run
      return final_inventory_status(s) ? Promise{Stage::kAnswered, s}
                                       : Promise{Stage::kFailed, STATUS_COMM_ERROR};
    case Collector::kBuffer:  // only status 1 ends a buffer read
      return s == 0x01 ? Promise{Stage::kAnswered, s}
                       : Promise{Stage::kFailed, STATUS_COMM_ERROR};
    default:
      return {Stage::kAnswered, s};
  }
}

Promise promised(const CommandRow &row, const Fault &fault) {
  const Promise comm_error{Stage::kFailed, STATUS_COMM_ERROR};
  const Promise clean = with_status(row, row.clean);
  if (row.collector == Collector::kLocal) return {Stage::kAnswered, STATUS_OK};
  if (row.collector == Collector::kControl)
    return fault.kind == Kind::kRefusedWrite ? Promise{Stage::kNothingSent, STATUS_COMM_ERROR}
                                             : Promise{Stage::kAnswered, STATUS_OK};
  switch (fault.kind) {
    case Kind::kNone:
      return clean;
    case Kind::kSilence:
    case Kind::kPartial:
    case Kind::kOversizedCount:
      return comm_error;
    case Kind::kCorruptCrc:
      // The single-reply and inventory collectors wait for a good CRC; the
      // buffer read tests none; the length collector completes and the
      // exchange's CRC test rejects the reply.
      if (row.collector == Collector::kBuffer) return clean;
      if (row.collector == Collector::kLength) return {Stage::kFailed, STATUS_CRC_ERROR};
      return comm_error;
    case Kind::kWrongEcho:
      return row.echo ? Promise{Stage::kFailed, STATUS_COMMAND_MISMATCH} : clean;
    case Kind::kStatus:
      return with_status(row, fault.status);
    case Kind::kStray:
      // Nothing realigns a reply behind a stray byte: the CRC residue never
      // clears, the length byte is wrong, the frame walk never meets a final
      // frame standing alone at the end.
      return comm_error;
    case Kind::kEndless:
      // A single reply completes as the first frame of the run, of status 3.
      return with_status(row, 0x03);
    case Kind::kRefusedWrite:
      // Without the begin report the lost frame leaves the reader silent.
      return row.begin ? Promise{Stage::kNothingSent, STATUS_COMM_ERROR} : comm_error;
    case Kind::kFailedRead:
    case Kind::kLate:
      // Only the single-reply collector gives up on a failed read; the others
      // take the late report in their next cycle.
      return row.collector == Collector::kSingle ? comm_error : clean;
    case Kind::kRestAfterGiveUp:
    case Kind::kLengthLie:  // never complete by a length byte that lies
    case Kind::kStopsReading:
      return comm_error;
    case Kind::kPadding:
    case Kind::kZeroResidue:
    case Kind::kSecondHandle:
      return clean;
  }
  return comm_error;
}

bool may_write(When when, const Promise &p, const CommandRow &row) {
  switch (when) {
    case When::kNever: return false;
    case When::kOnSuccess: return p.stage == Stage::kAnswered && p.code == row.success;
    case When::kAnswered: return p.stage == Stage::kAnswered;
    case When::kTagError:
      return p.stage == Stage::kAnswered && (p.code == 0x00 || p.code == 0xFC);
    case When::kCollected: return p.stage != Stage::kNothingSent;
  }
  return false;
}

using Param = std::tuple<std::size_t, Fault, std::uint32_t>;

class FaultMatrix : public EmulatorTest, public ::testing::WithParamInterface<Param> {
 protected:
  const CommandRow &row() const { return command_rows()[std::get<0>(GetParam())]; }
  bool in_out(std::size_t k) const {
    for (const auto &preset : setup.preset)
      if (preset.first == k) return true;
    return false;
  }
  const Fault &fault() const { return std::get<1>(GetParam()); }
  std::uint32_t start() const { return std::get<2>(GetParam()); }

  CallSetup setup;
};

TEST_P(FaultMatrix, KeepsItsPromise) {
  device.emulator.trace().record = false;
  reader().identity.address = kReaderAddress;
  row().setup(setup, reader());
  setup.scalars.address = kBroadcast;
  Call call = make_call(row(), setup, kSentinel, kGuard);
  call.handle = handle;
  emulator().inject_next(fault().faults);
  fake::set_clock(start());
  if (fault().kind == Kind::kSecondHandle) {
    // Another program's exchange on its own handle of the same reader.
    const VelkorHandle other = fake::attach(device);
    fake::share_input(other, handle);
    unsigned char any = kBroadcast, serial[4];
    ASSERT_EQ(GetSeriaNo(&any, serial, other), STATUS_OK);
    ASSERT_GT(fake::queued(handle), 0u);
    emulator().inject_next(fault().faults);
  }
  const std::uint32_t called = fake::clock();

  const int code = row().call(call);
  const std::uint32_t elapsed = fake::clock() - called;

  const Promise p = promised(row(), fault());
  EXPECT_EQ(code, p.code);
  EXPECT_LE(elapsed, time_limit_ms(row().collector) + kCallSlackMs);

  const std::uint8_t address = *call.a();
  if (may_write(row().address, p, row())) {
    EXPECT_EQ(address, reader().identity.address) << "the reply's address";
  } else {
    EXPECT_EQ(address, kBroadcast) << "address written";
  }
  EXPECT_TRUE(call.address.guard_intact());

  for (std::size_t k = 0; k < row().outputs.size(); ++k) {
    const BlockShape &shape = row().outputs[k];
    const GuardedBlock &out = call.out[k];
    EXPECT_TRUE(out.guard_intact()) << shape.name << ": written past its size";
    const bool may = may_write(shape.when, p, row());
    if (!may) {
      EXPECT_TRUE(out.holds(call.fills[k])) << shape.name << " written";
    } else if (fault().kind == Kind::kNone && out.size() > 0 && !in_out(k)) {
      // A clean reply shows the row really reaches the output it names (an
      // in-out byte may come back as it went).
      EXPECT_FALSE(out.holds(call.fills[k])) << shape.name << " not written";
    }
  }
  for (std::size_t k = 0; k < call.in.size(); ++k)
    EXPECT_TRUE(call.in[k].guard_intact()) << row().inputs[k].name;

  // The next call gets its own reply: nothing of this one is taken for it.
  // Only a reader still sending the rest of an old reply may spoil it.
  emulator().clear_faults();
  unsigned char any = kBroadcast, serial[4] = {};
  const int next = GetSeriaNo(&any, serial, handle);
  if (fault().kind == Kind::kRestAfterGiveUp && next == STATUS_COMM_ERROR) return;
  ASSERT_EQ(next, STATUS_OK);
  EXPECT_TRUE(std::equal(std::begin(serial), std::end(serial), reader().identity.serial.begin()));
}

std::string param_name(const ::testing::TestParamInfo<Param> &info) {
  return std::string(command_rows()[std::get<0>(info.param)].name) + "_" +
         std::get<1>(info.param).name + (std::get<2>(info.param) == 0 ? "" : "_wrapping");
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, FaultMatrix,
    ::testing::Combine(::testing::Range<std::size_t>(0, command_rows().size()),
                       ::testing::ValuesIn(all_faults()),
                       ::testing::Values(0u, kBeforeWrap)),
    param_name);

}  // namespace
}  // namespace velkor::test
