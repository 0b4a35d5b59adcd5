#include "link/report.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "link/platform.h"

namespace velkor {

namespace {

constexpr std::uint8_t kControlCodes[] = {CTRL_ACK, CTRL_POLL, CTRL_BEGIN, 0x21,
                                          CTRL_CHANGE_TO_HID};

bool is_control(const std::uint8_t *data, unsigned count) {
  return count >= 2 && data[0] == VELKOR_REPORT_CONTROL &&
         std::find(std::begin(kControlCodes), std::end(kControlCodes), data[1]) !=
             std::end(kControlCodes);
}

}  // namespace

bool send_control(VelkorHandle handle, std::uint8_t code) {
  std::uint8_t control[2] = {VELKOR_REPORT_CONTROL, code};
  return SendDataToPort(control, 2, handle) == 1;
}

Poll poll_cycle(VelkorHandle handle, std::uint8_t *report) {
  if (!send_control(handle, CTRL_POLL)) return Poll::kPollFailed;
  std::memset(report, 0, platform::kReportSize);
  const int got = platform::read_report(handle, report, kReadLimitMs);
  platform::sleep_ms(kPollPauseMs);
  if (got != static_cast<int>(platform::kReportSize)) return Poll::kReadFailed;
  if (!send_control(handle, CTRL_ACK)) return Poll::kAckFailed;
  return Poll::kOk;
}

unsigned payload_count(const std::uint8_t *report) {
  return report[1] <= VELKOR_REPORT_PAYLOAD ? report[1] : 0u;
}

Poll poll_payload(std::uint8_t *payload, int *count, VelkorHandle handle) {
  std::uint8_t report[platform::kReportSize];
  const Poll poll = poll_cycle(handle, report);
  switch (poll) {
    case Poll::kOk:
      break;
    case Poll::kPollFailed:
      // An unplugged reader refuses writes at once, and the collectors that
      // use this step poll on after a failure until their time limit: the
      // cycle keeps its pause, so that they wait instead of spinning.
      platform::sleep_ms(kPollPauseMs);
      return poll;
    case Poll::kReadFailed:
      *count = 0;
      return poll;
    case Poll::kAckFailed:
      return poll;
  }
  const unsigned c = payload_count(report);
  const std::uint8_t *first = report + 2;
  if (std::any_of(first, first + c, [](std::uint8_t b) { return b != 0; })) {
    std::memcpy(payload, first, c);
    *count = static_cast<int>(c);
  } else {
    *count = 0;
  }
  return Poll::kOk;
}

int PollReport(std::uint8_t *payload, int *count, VelkorHandle handle) {
  return poll_payload(payload, count, handle) == Poll::kOk ? STATUS_OK : STATUS_COMM_ERROR;
}

}  // namespace velkor

int SendDataToPort(unsigned char *data, unsigned int count, VelkorHandle handle) {
  if (handle == VELKOR_INVALID_HANDLE) return 0;
  std::uint8_t report[velkor::platform::kReportSize] = {};
  if (velkor::is_control(data, count)) {
    if (count > velkor::platform::kReportSize) return 0;
    std::memcpy(report, data, count);
  } else {
    if (count > VELKOR_REPORT_PAYLOAD) return 0;
    report[0] = VELKOR_REPORT_DATA;
    report[1] = static_cast<std::uint8_t>(count);
    if (count) std::memcpy(report + 2, data, count);
  }
  const int written =
      velkor::platform::write_report(handle, report, velkor::kWriteLimitMs);
  return written == static_cast<int>(velkor::platform::kReportSize) ? 1 : 0;
}
