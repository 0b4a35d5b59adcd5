// What the spool keeps in its directory, as text: segment file names, the
// lines of a segment (records, and the sequence marks a segment begins
// with) and the position file.  Every parser is strict: what is not exactly
// one of these is none.
#ifndef VELKOR_APP_MQTT_SPOOL_FILES_H
#define VELKOR_APP_MQTT_SPOOL_FILES_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/mqtt/outbox.h"

namespace velkor::app::mqtt {

/// The longest record line the spool keeps (without its newline).
constexpr std::size_t kLongestRecordLine = 64 * 1024;

/// "000000000042.seg": segment 42's file, at least twelve digits.
std::string segment_name(std::uint64_t id);
/// The segment a file name names (12 to 18 digits, then ".seg"), or
/// nothing for any other name.
std::optional<std::uint64_t> segment_id(const std::string &name);

/// "<seq> TAB <topic> TAB <payload>", without the newline.
std::string record_line(const Record &record);
/// Parses a record line (without its newline) into *record; false, and
/// *record unchanged, when it is not one.
bool parse_record(const std::string &line, Record *record);

/// "# TAB <seq> TAB <topic>": the sequence number a topic had reached when
/// the segment began, so that the numbers survive the position's loss.
std::string mark_line(const std::string &topic, std::uint64_t seq);
/// Parses a mark line into *topic and *seq; false when it is not one.
bool parse_mark(const std::string &line, std::string *topic, std::uint64_t *seq);

/// Where the oldest undelivered record begins, and each topic's highest
/// sequence number.
struct Position {
  std::uint64_t segment = 0;
  std::uint64_t offset = 0;  ///< bytes into that segment
  std::map<std::string, std::uint64_t> seqs;
  bool operator==(const Position &) const = default;
};

/// "<segment> <offset>\n", then "<seq> TAB <topic>\n" per topic.
std::string position_text(const Position &position);
/// The position in `text`, or nothing when the text is anything else
/// (empty, cut short, damaged).
std::optional<Position> parse_position(const std::string &text);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_SPOOL_FILES_H
