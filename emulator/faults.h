// Faults the emulator can inject, to see the library survive a misbehaving
// device.
#ifndef VELKOR_EMULATOR_FAULTS_H
#define VELKOR_EMULATOR_FAULTS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velkor::emu {

struct Faults {
  // Applied to the reply of the next command frame (or of every one, when
  // injected persistently).
  std::vector<std::size_t> split{};  ///< payload sizes of the reply's reports; the last repeats
  unsigned empty_reports = 0;      ///< polls answered empty before the reply starts
  bool silence = false;            ///< the reply never comes; polls are answered empty
  std::size_t cut_tail = 0;        ///< bytes dropped from the reply's end: it arrives partial
  std::vector<std::uint8_t> stray{}; ///< bytes sent ahead of the reply
  bool corrupt_crc = false;        ///< the last frame's CRC is wrong
  std::optional<std::uint8_t> echo{};    ///< every frame answers this command byte
  std::optional<std::uint8_t> status{};  ///< the last frame carries this status
  std::optional<std::uint8_t> oversized_count{};  ///< count byte of the reply's reports
  bool endless = false;            ///< non-final frames follow the reply without end
  std::size_t zero_padding = 0;    ///< zero bytes after the last frame, in its report
  int length_lie = 0;              ///< added to the last frame's length byte; its CRC is
                                   ///< made right over the bytes sent
  bool zero_residue_first = false; ///< the first report ends three bytes before the first
                                   ///< frame does, where two data bytes make the CRC
                                   ///< residue of what came so far zero
  std::uint32_t late_ms = 0;       ///< the reply's first report reaches the host this late
  std::uint32_t linger_ms = 0;     ///< after the first report the rest waits this long;
                                   ///< a new frame then finds it still ahead of its reply
  bool stop_reading = false;       ///< once the frame is in, no more output reports are taken
  // Applied to reports from the moment of injection.
  unsigned refuse_writes = 0;      ///< output reports refused (in-process only)
  unsigned fail_reads = 0;         ///< polls whose read gets nothing
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_FAULTS_H
