// What a reader says about itself and its tags, as the documents `--json`
// prints and the other surfaces return: information, settings, region,
// power, clock, I/O lines and memory reads.  A decoded EPC's document is
// app/epc_json.h's.
#ifndef VELKOR_APP_EVENTS_READER_DOCUMENTS_H
#define VELKOR_APP_EVENTS_READER_DOCUMENTS_H

#include <optional>
#include <string>
#include <vector>

#include "app/base/clock_text.h"
#include "app/base/hex.h"
#include "app/events/document.h"
#include "app/reader/reader_config.h"
#include "app/reader/reader_info.h"

namespace velkor::app::events {

/// {"reader", "path", "address", "serial", "firmware", "type", "gen2",
/// "iso6b", "region", "lowest_channel", "highest_channel", "power_dbm",
/// "scan_time_ms", "antenna", "beep"}.
Json info_document(int index, const std::string &path, int address, const ReaderInfo &info);
/// The work-mode parameters with their names, the mask, scan time, antenna.
Json config_document(const ReaderConfig &config);
/// The region, its channel range and their frequencies; with raw, the two
/// bytes as they travel.
Json region_document(const ReaderInfo &info, bool raw);
/// {"region", "channels": [{"channel", "frequency"}...]}.
Json channels_document(int region, const std::vector<std::string> &plan);
/// {"power_dbm"}.
Json power_document(int dbm);
/// {"time": the date or null, "raw"}.
Json clock_document(const ClockBlock &block);
/// {"gpio", "bits": [bit 0 ... bit 7]}.
Json gpio_document(int status);
/// {"bank", "addr", "words", "data"}.
Json memory_document(int bank, int pointer, int words, const Bytes &data);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_READER_DOCUMENTS_H
