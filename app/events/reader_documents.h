// What a reader says about itself and its tags, as the documents `--json`
// prints and the other surfaces return: information, settings, region,
// power, clock, I/O lines, the tag buffer, memory reads, 6B tags and EPCs.
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

namespace velkor::epc {
class Epc;
}

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
/// Every field of a decoded EPC: hex, scheme, filter, partition, the
/// components under their names ("item_reference"), the tag and
/// pure-identity URIs and the GS1 element string (null for GID-96).
Json epc_document(const epc::Epc &epc);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_READER_DOCUMENTS_H
