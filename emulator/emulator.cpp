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
  if (take_write_refusal()) return false;
  if (report[0] == kControlReport) {
    on_control(report[1]);
  } else if (report[0] == kDataReport && report[1] <= kPayload) {
    on_frame(Bytes(report + 2, report + 2 + report[1]));
  }
  return true;
}

bool Emulator::transmit(std::uint8_t *report, std::uint32_t now_ms) {
  if (outbox_.empty()) return false;
  TraceEntry entry{TraceEntry::kFromReader, now_ms, outbox_.front()};
  outbox_.pop_front();
  std::memcpy(report, entry.report.data(), entry.report.size());
  trace_.add(entry);
  return true;
}

void Emulator::on_control(std::uint8_t code) {
  switch (code) {
    case kPoll:
      answer_poll();
      break;
    case kBegin:  // a new exchange: whatever was left of the last reply goes
      stream_.clear();
      sent_ = 0;
      endless_frame_.clear();
      break;
    case kToKeyboard:
      reader_.keyboard_mode = true;
      break;
    case kAck:
    default:
      break;
  }
}

void Emulator::on_frame(const Bytes &frame) {
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
  ++frames_received_;
  reply(command, reader_.handle(command));
}

void Emulator::reply(const Command &command, Response response) {
  active_ = pending_next_ ? next_ : always_;
  pending_next_ = false;
  stream_.clear();
  sent_ = 0;
  pieces_ = 0;
  empties_ = 0;
  endless_frame_.clear();
  if (response.frames.empty() || active_.silence) return;

  const std::uint8_t echo =
      active_.echo ? *active_.echo : (response.echo ? response.echo : command.code);
  if (active_.status) response.frames.back().status = *active_.status;
  if (active_.endless)
    for (ReplyFrame &f : response.frames) f.status = kNotFinal;

  stream_ = active_.stray;
  for (std::size_t i = 0; i < response.frames.size(); ++i) {
    const ReplyFrame &f = response.frames[i];
    Bytes encoded = encode_reply(reader_.identity.address, echo, f.status, f.data);
    if (active_.corrupt_crc && i + 1 == response.frames.size()) encoded.back() ^= 0xFF;
    stream_.insert(stream_.end(), encoded.begin(), encoded.end());
    if (active_.endless && i == 0) endless_frame_ = encoded;
  }
  stream_.resize(stream_.size() - std::min(active_.cut_tail, stream_.size()));
}

std::size_t Emulator::next_piece_size() {
  const std::vector<std::size_t> &split = active_.split;
  std::size_t size = kPayload;
  if (!split.empty()) size = split[std::min(pieces_, split.size() - 1)];
  return std::clamp<std::size_t>(size, 1, kPayload);
}

void Emulator::answer_poll() {
  if (take_read_failure()) return;  // the host's read gets nothing
  std::array<std::uint8_t, 64> report{};
  report[0] = kInputReport;
  if (empties_ < active_.empty_reports) {
    ++empties_;
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
      ++pieces_;
    }
  }
  outbox_.push_back(report);
}

}  // namespace velkor::emu
