// The work-mode parameters, decoded once: what GetSystemParameter, the work
// time and the information block report together, and the names of the
// work modes, tag types and banks the surfaces show beside the numbers.
#ifndef VELKOR_APP_READER_READER_CONFIG_H
#define VELKOR_APP_READER_READER_CONFIG_H

#include <array>

#include "app/base/error.h"
#include "app/reader/session.h"
#include "app/tags/mask.h"

namespace velkor::app {

struct ReaderConfig {
  int mode = 0;  ///< 0 answer, 1 auto, 2 trigger, 3 trigger-inverted
  int interval = 0;
  std::array<int, 2> response{};
  int tag_type = 0;  ///< 0 gen2, 1 6b
  int eas_sensitivity = 0;
  Mask mask;  ///< the automatic mode's selection: bank, bit address, bits (explicit), bytes
  int trigger_time = 0;
  std::array<int, 2> tid{};  ///< word pointer and word count
  std::array<int, 2> work_time{};
  int scan_time_ms = 0;
  int antenna = 0;
};

/// Reads the parameters, the work time and the information block.
/// Errors: the first failing status.
Result<ReaderConfig> read_config(Session &s);

/// "answer", "auto", "trigger", "trigger-inverted"; "?" for another number.
const char *work_mode_name(int mode);
/// "gen2", "6b"; "?" for another number.
const char *tag_type_name(int type);
/// "reserved", "epc", "tid", "user"; "?" for another number.
const char *bank_name(int bank);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_READER_CONFIG_H
