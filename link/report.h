// The report layer: one output report per SendDataToPort, and the poll cycle
// that fetches one input report from the reader.
#ifndef VELKOR_LINK_REPORT_H
#define VELKOR_LINK_REPORT_H

#include <cstdint>

#include "velkor_link.hpp"

namespace velkor {

constexpr std::uint32_t kWriteLimitMs = 50;
constexpr std::uint32_t kReadLimitMs = 100;
constexpr std::uint32_t kPollPauseMs = 50;

/// Sends a two-byte control report (0x03, code).
bool send_control(VelkorHandle handle, std::uint8_t code);

enum class Poll {
  kOk,           ///< a whole input report was read and acknowledged
  kPollFailed,   ///< the poll report could not be written
  kReadFailed,   ///< no whole input report within the read limit
  kAckFailed,    ///< the acknowledge report could not be written
};

/// One poll cycle: CTRL_POLL, read one input report into report (64 bytes,
/// cleared first) within 100 ms, pause 50 ms, CTRL_ACK after a whole report.
Poll poll_cycle(VelkorHandle handle, std::uint8_t *report);

/// The payload count of an input report.  A count above the 62 bytes a report
/// can carry is not honoured: such a report counts as carrying nothing.
unsigned payload_count(const std::uint8_t *report);

/// The poll step of the collectors: one poll cycle, then the payload into
/// payload (up to 62 bytes) and its length into *count.  A payload of nothing
/// but zero bytes counts as empty.  Returns how the cycle went; *count is set
/// to 0 when the read fails and left alone when a report is not written.  A
/// cycle whose poll report cannot be written still pauses 50 ms.
Poll poll_payload(std::uint8_t *payload, int *count, VelkorHandle handle);

/// poll_payload as a status: STATUS_OK for Poll::kOk, else STATUS_COMM_ERROR.
int PollReport(std::uint8_t *payload, int *count, VelkorHandle handle);

}  // namespace velkor

#endif  // VELKOR_LINK_REPORT_H
