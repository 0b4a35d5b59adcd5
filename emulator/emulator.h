// The reader's side of the HID report protocol.  Output reports carry command
// frames and control codes; each poll is answered with one input report that
// carries the next piece (up to 62 bytes) of the reply stream, or nothing.
#ifndef VELKOR_EMULATOR_EMULATOR_H
#define VELKOR_EMULATOR_EMULATOR_H

#include <cstdint>
#include <deque>
#include <vector>

#include "emulator/faults.h"
#include "emulator/reader.h"
#include "emulator/trace.h"

namespace velkor::emu {

class Emulator {
 public:
  explicit Emulator(const ReaderOptions &options = {});

  Reader &reader() { return reader_; }
  Trace &trace() { return trace_; }

  /// An output report arrives (64 bytes).  False when the write is refused.
  bool receive(const std::uint8_t *report, std::uint32_t now_ms);
  /// The host reads: true with the next input report (64 bytes), false when
  /// the device has nothing to deliver (the read runs into its limit).
  bool transmit(std::uint8_t *report, std::uint32_t now_ms);

  /// Faults for the next reply (and, for the report counts, the next reports).
  void inject_next(const Faults &faults);
  /// Faults for every reply from now on.
  void inject_always(const Faults &faults) { always_ = faults; }
  void clear_faults();

  /// Command frames the reader received intact, in order (for tests).
  std::size_t frames_received() const { return frames_received_; }

 private:
  void on_control(std::uint8_t code);
  void on_frame(const Bytes &frame);
  void reply(const Command &command, Response response);
  void answer_poll();
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
  std::deque<std::array<std::uint8_t, 64>> outbox_;
  std::size_t frames_received_ = 0;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_EMULATOR_H
