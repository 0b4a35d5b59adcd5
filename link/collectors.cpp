// The four reply collectors.  Each repeats poll cycles until its completion
// test holds or its time limit passes.  Elapsed time is taken in unsigned
// 32-bit arithmetic, so a wrap of the millisecond tick does no harm.
//
// A poll that is not written, or a read that gets nothing, loses no reply
// byte, and the three polling collectors poll on.  A refused acknowledge
// comes after a report was read whole: its bytes are not the reader's to
// send again, and a reply missing them could still complete (a whole frame
// in that report), so every collector ends at once.
#include <algorithm>
#include <cstring>

#include "link/platform.h"
#include "link/report.h"
#include "protocol/crc.h"

namespace velkor {
namespace {

// Every collector keeps at most this many reply bytes; more is a failure.
constexpr std::size_t kCollectCapacity = 6000;
// Give up this early when nothing at all has arrived.
constexpr std::uint32_t kQuietLimitMs = 1000;

constexpr std::uint32_t kSingleLimitMs = 2000;
constexpr std::uint32_t kInventoryLimitMs = 15000;
constexpr std::uint32_t kBufferLimitMs = 10000;
constexpr std::uint32_t kLengthLimitMs = 6000;

class Stopwatch {
 public:
  Stopwatch() : start_(platform::tick_ms()) {}
  std::uint32_t elapsed() const {
    return static_cast<std::uint32_t>(platform::tick_ms() - start_);
  }

 private:
  std::uint32_t start_;
};

// Statuses that end a multi-frame inventory reply.
bool is_final_inventory_status(std::uint8_t status) {
  switch (status) {
    case 0x01: case 0x02: case 0xF8: case 0xF9:
    case 0xFB: case 0xFD: case 0xFE: case 0xFF:
      return true;
    default:
      return false;
  }
}

// The size of the frame at bytes[0] when it has arrived whole and nothing but
// zero padding follows it, else 0.  A length byte below 4 cannot begin a reply
// frame.  So a reply is complete by what its length byte says, never earlier
// (a first report that happens to end in a zero CRC residue) or later.
std::size_t whole_frame(const std::uint8_t *bytes, std::size_t n) {
  if (n == 0 || bytes[0] < 4) return 0;
  const std::size_t size = std::size_t{bytes[0]} + 1;
  if (n < size) return 0;
  return std::all_of(bytes + size, bytes + n, [](std::uint8_t b) { return b == 0; }) ? size
                                                                                      : 0;
}

}  // namespace
}  // namespace velkor

using velkor::kCollectCapacity;
using velkor::whole_frame;
using velkor::kQuietLimitMs;

int GetDataFromPort(unsigned char *reply, int *count, VelkorHandle handle) {
  if (handle == VELKOR_INVALID_HANDLE) return STATUS_INVALID_HANDLE;
  const velkor::Stopwatch clock;
  std::uint8_t received[kCollectCapacity];
  std::size_t n = 0;
  std::uint16_t residue = velkor::kCrcPreset;
  for (;;) {
    std::uint8_t report[velkor::platform::kReportSize];
    const velkor::Poll poll = velkor::poll_cycle(handle, report);
    if (poll != velkor::Poll::kOk) {
      if (poll == velkor::Poll::kReadFailed) reply[0] = 0;
      return STATUS_COMM_ERROR;
    }
    // Unlike the other collectors, zero bytes are reply bytes here.
    const unsigned c = velkor::payload_count(report);
    if (c > 0) {
      if (n + c > kCollectCapacity) return STATUS_COMM_ERROR;
      std::memcpy(received + n, report + 2, c);
      residue = velkor::crc16_update(residue, report + 2, c);
      n += c;
      // Zero padding keeps the residue at zero; it is not handed over.
      const std::size_t size = residue == 0 ? whole_frame(received, n) : 0;
      if (size > 0) {
        std::memcpy(reply, received, size);
        *count = static_cast<int>(size);
        return STATUS_OK;
      }
    }
    const std::uint32_t elapsed = clock.elapsed();
    if (elapsed > kQuietLimitMs && n == 0) return STATUS_COMM_ERROR;
    if (elapsed > velkor::kSingleLimitMs) return STATUS_COMM_ERROR;
  }
}

int GetInventoryDataFromPort1(unsigned char *reply, int *count,
                              VelkorHandle handle) {
  *count = 0;
  if (handle == VELKOR_INVALID_HANDLE) return STATUS_INVALID_HANDLE;
  const velkor::Stopwatch clock;
  std::uint8_t received[kCollectCapacity];
  std::size_t total = 0;
  // Bytes not yet walked.  After a walk it holds less than one frame (at most
  // 255 bytes), so one more payload always fits.
  std::uint8_t work[600];
  std::size_t pending = 0;
  for (;;) {
    std::uint8_t payload[VELKOR_REPORT_PAYLOAD];
    int c = 0;
    const velkor::Poll poll = velkor::poll_payload(payload, &c, handle);
    if (poll == velkor::Poll::kAckFailed) return STATUS_COMM_ERROR;
    if (poll == velkor::Poll::kOk && c > 0) {
      const auto len = static_cast<std::size_t>(c);
      if (total + len > kCollectCapacity || pending + len > sizeof work)
        return STATUS_COMM_ERROR;
      std::memcpy(received + total, payload, len);
      std::memcpy(work + pending, payload, len);
      total += len;
      pending += len;
      // The residue is taken over every pending byte: a final frame is
      // recognised once it stands alone at the end of what has arrived.
      while (pending > 0) {
        const std::size_t frame = std::size_t{work[0]} + 1;
        if (pending < frame) break;
        if (whole_frame(work, pending) > 0 && velkor::crc16(work, pending) == 0 &&
            velkor::is_final_inventory_status(work[3])) {
          std::memcpy(reply, received, total);
          *count = static_cast<int>(total);
          return STATUS_OK;
        }
        std::memmove(work, work + frame, pending - frame);
        pending -= frame;
      }
    }
    const std::uint32_t elapsed = clock.elapsed();
    if (elapsed > kQuietLimitMs && total == 0) return STATUS_COMM_ERROR;
    if (elapsed > velkor::kInventoryLimitMs) return STATUS_COMM_ERROR;
  }
}

int GetBufferDataFromPort(unsigned char *reply, int *count,
                          VelkorHandle handle) {
  *count = 0;
  if (handle == VELKOR_INVALID_HANDLE) return STATUS_INVALID_HANDLE;
  const velkor::Stopwatch clock;
  std::uint8_t received[kCollectCapacity];
  std::size_t total = 0;
  // Frames before walked are complete and were not the last: they stay
  // skipped whatever arrives later, so the walk resumes where it stopped.
  std::size_t walked = 0;
  for (;;) {
    std::uint8_t payload[VELKOR_REPORT_PAYLOAD];
    int c = 0;
    const velkor::Poll poll = velkor::poll_payload(payload, &c, handle);
    if (poll == velkor::Poll::kAckFailed) return STATUS_COMM_ERROR;
    if (poll == velkor::Poll::kOk) {
      if (c > 0) {
        const auto len = static_cast<std::size_t>(c);
        if (total < kCollectCapacity)
          std::memcpy(received + total, payload,
                      std::min(len, kCollectCapacity - total));
        total += len;
        *count = static_cast<int>(total);
      }
      while (total <= kCollectCapacity && walked < total) {
        const std::size_t left = total - walked;
        const std::size_t frame = std::size_t{received[walked]} + 1;
        if (left < frame) break;
        const std::uint8_t status = frame > 3 ? received[walked + 3] : 0;
        if (status == 0x01 && whole_frame(received + walked, left) > 0) {
          std::memcpy(reply, received, total);
          return STATUS_OK;
        }
        walked += frame;
      }
    }
    if (total > kCollectCapacity) return STATUS_COMM_ERROR;
    if (clock.elapsed() > kQuietLimitMs && total == 0) return STATUS_COMM_ERROR;
    velkor::platform::sleep_ms(0);
    if (clock.elapsed() > velkor::kBufferLimitMs) return STATUS_COMM_ERROR;
  }
}

int GetDataFromPort_buff(unsigned char *reply, int *count, VelkorHandle handle) {
  *count = 0;
  if (handle == VELKOR_INVALID_HANDLE) return STATUS_INVALID_HANDLE;
  const velkor::Stopwatch clock;
  for (;;) {
    std::uint8_t payload[VELKOR_REPORT_PAYLOAD];
    int c = 0;
    const velkor::Poll poll = velkor::poll_payload(payload, &c, handle);
    if (poll == velkor::Poll::kAckFailed) return STATUS_COMM_ERROR;
    if (poll == velkor::Poll::kOk && c > 0) {
      if (static_cast<std::size_t>(*count) + static_cast<std::size_t>(c) >
          kCollectCapacity)
        return STATUS_COMM_ERROR;
      std::memcpy(reply + *count, payload, static_cast<std::size_t>(c));
      *count += c;
      const std::size_t size = whole_frame(reply, static_cast<std::size_t>(*count));
      if (size > 0) {
        *count = static_cast<int>(size);
        return STATUS_OK;
      }
    }
    if (clock.elapsed() > velkor::kLengthLimitMs) return STATUS_COMM_ERROR;
  }
}
