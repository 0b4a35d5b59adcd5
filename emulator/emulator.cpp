#include "emulator/emulator.h"

#include <algorithm>
#include <cstring>

namespace velkor::emu {

namespace {

constexpr std::uint8_t kDataReport = 0x02;
constexpr std::uint8_t kControlReport = 0x03;
constexpr std::uint8_t kInputReport = 0x01;
constexpr std::size_t kPayload = 62;

enum : std::uint8_t {
  kAck = 0x01,
  kPoll = 0x0A,
  kBegin = 0x0F,
  kToKeyboard = 0xA0,
};

// A status that does not end a multi-frame reply.
constexpr std::uint8_t kNotFinal = 0x03;

// Commands whose exchange the host announces with CTRL_BEGIN.
bool needs_begin(std::uint8_t code) { return code == 0x01 || code == 0x72; }

// Whether time a lies before time b on a wrapping millisecond clock.
bool before(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

}  // namespace

Emulator::Emulator(const ReaderOptions &options) : reader_(options) {}

void Emulator::inject_next(const Faults &faults) {
  next_ = faults;
  pending_next_ = true;
  refuse_writes_ = faults.refuse_writes;
  fail_reads_ = faults.fail_reads;
}

void Emulator::clear_faults() {
  always_ = next_ = active_ = Faults{};
  pending_next_ = false;
  refuse_writes_ = fail_reads_ = 0;
  stalled_ = false;
}

void Emulator::violation(std::uint32_t now_ms, const char *what) {
  violations_.push_back({now_ms, what});
}

// Checks an output report against the report protocol before it is acted on.
void Emulator::witness(const std::uint8_t *report, std::uint32_t now_ms) {
  const auto padded_from = [&](std::size_t from) {
    return std::any_of(report + from, report + 64, [](std::uint8_t b) { return b != 0; });
  };
  if (report[0] == kControlReport) {
    if (padded_from(2)) violation(now_ms, "non-zero padding in a control report");
    if (report[1] == kPoll && unacknowledged_)
      violation(now_ms, "poll before the last report was acknowledged");
    else if (report[1] != kAck && unacknowledged_)
      violation(now_ms, "a full read was not acknowledged");
    if (report[1] == kAck || report[1] == kPoll || report[1] == kBegin) unacknowledged_ = false;
    if (report[1] == kBegin) begun_ = true;
    return;
  }
  if (report[0] != kDataReport) {
    violation(now_ms, "an output report that is neither data nor control");
    return;
  }
  if (unacknowledged_) violation(now_ms, "a full read was not acknowledged");
  unacknowledged_ = false;
  const std::size_t n = report[1];
  if (n > kPayload) {
    violation(now_ms, "a data report counting more than 62 bytes");
    return;
  }
  if (padded_from(2 + n)) violation(now_ms, "non-zero padding in a data report");
  const bool raw = n == 1 && reader_.commands.raw(report[2]) != nullptr;
  if (!raw && (n == 0 || report[2] + 1u != n))
    violation(now_ms, "a count byte that disagrees with its frame");
}

bool Emulator::take_write_refusal() {
  if (always_.refuse_writes) return true;
  if (refuse_writes_ == 0) return false;
  --refuse_writes_;
  return true;
}

bool Emulator::take_read_failure() {
  if (always_.fail_reads) return true;
  if (fail_reads_ == 0) return false;
  --fail_reads_;
  return true;
}

bool Emulator::receive(const std::uint8_t *report, std::uint32_t now_ms) {
  TraceEntry entry{TraceEntry::kToReader, now_ms, {}};
  std::memcpy(entry.report.data(), report, entry.report.size());
  trace_.add(entry);
  if (stalled_) return false;
  if (take_write_refusal()) {
    unacknowledged_ = false;  // the host cannot be blamed for a refused ACK
    return false;
  }
  witness(report, now_ms);
  if (report[0] == kControlReport) {
    on_control(report[1], now_ms);
  } else if (report[0] == kDataReport && report[1] <= kPayload) {
    on_frame(Bytes(report + 2, report + 2 + report[1]), now_ms);
  }
  return true;
}

bool Emulator::transmit(std::uint8_t *report, std::uint32_t now_ms, std::uint32_t *delay_ms) {
  if (outbox_.empty()) return false;
  TraceEntry entry{TraceEntry::kFromReader, now_ms, outbox_.front().report};
  if (delay_ms != nullptr) *delay_ms = outbox_.front().delay_ms;
  outbox_.pop_front();
  std::memcpy(report, entry.report.data(), entry.report.size());
  trace_.add(entry);
  return true;
}

void Emulator::on_control(std::uint8_t code, std::uint32_t now_ms) {
  switch (code) {
    case kPoll:
      answer_poll(now_ms);
      break;
    case kBegin:  // a new exchange: whatever was left of the last reply goes
      stream_.clear();
      sent_ = 0;
      endless_frame_.clear();
      lingering_ = false;
      break;
    case kToKeyboard:
      reader_.keyboard_mode = true;
      break;
    case kAck:
    default:
      break;
  }
}

void Emulator::on_frame(const Bytes &frame, std::uint32_t now_ms) {
  const bool begun = begun_;
  begun_ = false;
  Command command;
  if (frame.size() == 1 && reader_.commands.raw(frame[0]) != nullptr) {
    command.address = reader_.identity.address;
    command.code = frame[0];
    ++frames_received_;
    reply(command, (*reader_.commands.raw(frame[0]))(reader_, command));
    return;
  }
  // A damaged frame, or one for another reader, gets no answer at all.
  if (!frame_intact(frame) || !reader_.addressed(frame[1])) return;
  command.address = frame[1];
  command.code = frame[2];
  command.data.assign(frame.begin() + 3, frame.end() - 2);
  if (needs_begin(command.code) && !begun) violation(now_ms, "a command frame without its CTRL_BEGIN");
  ++frames_received_;
  reply(command, reader_.handle(command));
}

void Emulator::reply(const Command &command, Response response) {
  // A reader that kept the rest of a reply the host gave up on sends it
  // ahead of the next one.
  Bytes rest;
  if (lingering_ && sent_ < stream_.size())
    rest.assign(stream_.begin() + static_cast<std::ptrdiff_t>(sent_), stream_.end());
  lingering_ = false;
  first_cut_ = 0;
  active_ = pending_next_ ? next_ : always_;
  pending_next_ = false;
  if (active_.stop_reading) stalled_ = true;
  stream_.clear();
  sent_ = 0;
  pieces_ = 0;
  empties_ = 0;
  endless_frame_.clear();
  if (response.frames.empty() || active_.silence) {
    stream_ = rest;
    return;
  }

  const std::uint8_t echo =
      active_.echo ? *active_.echo : (response.echo ? response.echo : command.code);
  if (active_.status) response.frames.back().status = *active_.status;
  if (active_.endless)
    for (ReplyFrame &f : response.frames) f.status = kNotFinal;

  stream_ = rest;
  stream_.insert(stream_.end(), active_.stray.begin(), active_.stray.end());
  for (std::size_t i = 0; i < response.frames.size(); ++i) {
    const ReplyFrame &f = response.frames[i];
    const bool last = i + 1 == response.frames.size();
    Bytes encoded = encode_reply(reader_.identity.address, echo, f.status, f.data);
    if (active_.zero_residue_first && i == 0 && encoded.size() >= 9) {
      // Two data bytes that are the CRC of what precedes them: the residue
      // of the first report is zero, and the frame is resealed after them.
      const std::size_t cut = std::min(encoded.size() - 3, kPayload);
      const std::uint16_t crc = crc16(encoded.data(), cut - 2);
      encoded[cut - 2] = static_cast<std::uint8_t>(crc);
      encoded[cut - 1] = static_cast<std::uint8_t>(crc >> 8);
      reseal(encoded);
      first_cut_ = stream_.size() + cut;
    }
    if (active_.length_lie != 0 && last) {
      encoded[0] = static_cast<std::uint8_t>(encoded[0] + active_.length_lie);
      reseal(encoded);
    }
    if (active_.corrupt_crc && last) encoded.back() ^= 0xFF;
    stream_.insert(stream_.end(), encoded.begin(), encoded.end());
    if (active_.endless && i == 0) endless_frame_ = encoded;
  }
  stream_.insert(stream_.end(), active_.zero_padding, 0x00);
  stream_.resize(stream_.size() - std::min(active_.cut_tail, stream_.size()));
}

std::size_t Emulator::next_piece_size() {
  const std::vector<std::size_t> &split = active_.split;
  std::size_t size = kPayload;
  if (!split.empty()) size = split[std::min(pieces_, split.size() - 1)];
  if (pieces_ == 0 && first_cut_ > 0) size = first_cut_;
  return std::clamp<std::size_t>(size, 1, kPayload);
}

void Emulator::answer_poll(std::uint32_t now_ms) {
  if (take_read_failure()) return;  // the host's read gets nothing
  std::array<std::uint8_t, 64> report{};
  report[0] = kInputReport;
  std::uint32_t delay = 0;
  if (empties_ < active_.empty_reports) {
    ++empties_;
  } else if (lingering_ && before(now_ms, linger_until_)) {
    // the rest of the reply waits
  } else {
    if (sent_ >= stream_.size() && !endless_frame_.empty()) {
      stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(sent_));
      sent_ = 0;
      stream_.insert(stream_.end(), endless_frame_.begin(), endless_frame_.end());
    }
    if (sent_ < stream_.size()) {
      const std::size_t n = std::min(next_piece_size(), stream_.size() - sent_);
      std::memcpy(report.data() + 2, stream_.data() + sent_, n);
      report[1] = active_.oversized_count ? *active_.oversized_count
                                          : static_cast<std::uint8_t>(n);
      sent_ += n;
      if (pieces_ == 0) {
        delay = active_.late_ms;
        if (active_.linger_ms > 0 && sent_ < stream_.size()) {
          lingering_ = true;
          linger_until_ = now_ms + active_.linger_ms;
        }
      }
      ++pieces_;
    }
  }
  // A report sent too late for the host's read is not owed an ACK.
  unacknowledged_ = delay == 0;
  outbox_.push_back({report, delay});
}

}  // namespace velkor::emu
