// --emulate-state FILE: the emulated reader's tags and settings written to a
// JSON file when a run ends and read back when the next one starts, so a
// `write` and the `read` that checks it can be two commands.
#ifndef VELKOR_APP_READER_EMULATOR_STATE_H
#define VELKOR_APP_READER_EMULATOR_STATE_H

#include <string>

#include "emulator/reader.h"

namespace velkor::app {

/// The reader's lasting state (identity address, settings, work parameters,
/// I/O lines, tags, buffer) as JSON text.
std::string save_emulator_state(const emu::Reader &reader);

/// Puts the state in `text` into the reader.  On text that is not such a
/// state returns false with the reason in *error and leaves the reader as
/// it was.
bool load_emulator_state(const std::string &text, emu::Reader &reader, std::string *error);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_EMULATOR_STATE_H
