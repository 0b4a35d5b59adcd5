// The reader's side of the HID report protocol.  Output reports carry command
// frames and control codes; each poll is answered with one input report that
// carries the next piece (up to 62 bytes) of the reply stream, or nothing.
#ifndef VELKOR_EMULATOR_EMULATOR_H
#define VELKOR_EMULATOR_EMULATOR_H

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "emulator/faults.h"
#include "emulator/reader.h"
#include "emulator/trace.h"

namespace velkor::emu {

/// Something the host did that the report protocol does not allow.
struct Violation {
  std::uint32_t ms;
  std::string what;
};

class Emulator {
 public:
  explicit Emulator(const ReaderOptions &options = {});

  Reader &reader() { return reader_; }
  Trace &trace() { return trace_; }

  /// An output report arrives (64 bytes).  False when the write is refused.
  bool receive(const std::uint8_t *report, std::uint32_t now_ms);
  /// The host reads: true with the next input report (64 bytes), false when
  /// the device has nothing to deliver (the read runs into its limit).
  /// *delay_ms receives how late the report is sent (0 but under a fault).
  bool transmit(std::uint8_t *report, std::uint32_t now_ms, std::uint32_t *delay_ms = nullptr);

  /// Faults for the next reply (and, for the report counts, the next reports).
  void inject_next(const Faults &faults);
  /// Faults for every reply from now on.
  void inject_always(const Faults &faults) { always_ = faults; }
  void clear_faults();

  /// Command frames the reader received intact, in order (for tests).
  std::size_t frames_received() const { return frames_received_; }

  /// Every protocol violation of the host seen so far, in order.
  const std::vector<Violation> &violations() const { return violations_; }
  /// Hands over the violations recorded so far and forgets them.
  std::vector<Violation> take_violations() { return std::exchange(violations_, {}); }
  /// Whether the reader has stopped taking output reports (a fault).
  bool stalled() const { return stalled_; }

 private:
  void witness(const std::uint8_t *report, std::uint32_t now_ms);
  void violation(std::uint32_t now_ms, const char *what);
  void on_control(std::uint8_t code, std::uint32_t now_ms);
  void on_frame(const Bytes &frame, std::uint32_t now_ms);
  void reply(const Command &command, Response response);
  void answer_poll(std::uint32_t now_ms);
  std::size_t next_piece_size();
  bool take_write_refusal();
  bool take_read_failure();

  Reader reader_;
  Trace trace_;
  Faults always_;
  Faults next_;
  bool pending_next_ = false;
  unsigned refuse_writes_ = 0;   // left from the next-reply faults
  unsigned fail_reads_ = 0;
  Faults active_;                // faults bound to the reply being sent
  Bytes stream_;                 // reply bytes not yet sent
  std::size_t sent_ = 0;         // of stream_
  std::size_t pieces_ = 0;       // reports of this reply sent so far
  unsigned empties_ = 0;         // empty reports sent ahead of this reply
  Bytes endless_frame_;          // appended whenever the stream runs dry
  struct Outgoing {
    std::array<std::uint8_t, 64> report;
    std::uint32_t delay_ms;
  };
  std::deque<Outgoing> outbox_;
  std::size_t frames_received_ = 0;
  std::uint32_t linger_until_ = 0;  // polls before this time are answered empty
  bool lingering_ = false;
  std::size_t first_cut_ = 0;      // size of the reply's first report, when a fault sets it
  bool stalled_ = false;
  // The witness's view of the host.
  std::vector<Violation> violations_;
  bool unacknowledged_ = false;  // a report went out on time and no CTRL_ACK came yet
  bool begun_ = false;           // CTRL_BEGIN came since the last command frame
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_EMULATOR_H
