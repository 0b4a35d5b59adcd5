#include "app/mqtt/spool_files.h"

#include <cstdio>
#include <sstream>

namespace velkor::app::mqtt {

namespace {

constexpr const char *kSuffix = ".seg";
constexpr std::size_t kShortestId = 12;
// Ids stay far below 2^64, so one more is always one more.
constexpr std::size_t kLongestId = 18;
// Sequence numbers as JSON numbers stay exact below 2^53.
constexpr std::size_t kLongestSeq = 15;

// The decimal number that is all of `digits`, at most `longest` of them.
std::optional<std::uint64_t> number(const std::string &digits, std::size_t longest) {
  if (digits.empty() || digits.size() > longest) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + std::uint64_t(c - '0');
  }
  return value;
}

bool is_topic(const std::string &topic) {
  if (topic.empty()) return false;
  for (const char c : topic)
    if (c == '\t' || c == '\n' || c == '\0') return false;
  return true;
}

}  // namespace

std::string segment_name(std::uint64_t id) {
  char name[32];
  std::snprintf(name, sizeof name, "%0*llu%s", int(kShortestId),
                static_cast<unsigned long long>(id), kSuffix);
  return name;
}

std::optional<std::uint64_t> segment_id(const std::string &name) {
  const std::size_t suffix = std::char_traits<char>::length(kSuffix);
  if (name.size() <= suffix || name.compare(name.size() - suffix, suffix, kSuffix) != 0)
    return std::nullopt;
  const std::string digits = name.substr(0, name.size() - suffix);
  if (digits.size() < kShortestId) return std::nullopt;
  return number(digits, kLongestId);
}

std::string record_line(const Record &record) {
  return std::to_string(record.seq) + "\t" + record.topic + "\t" + record.payload;
}

bool parse_record(const std::string &line, Record *record) {
  const std::size_t tab1 = line.find('\t');
  if (tab1 == std::string::npos) return false;
  const std::size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string::npos) return false;
  const std::optional<std::uint64_t> seq = number(line.substr(0, tab1), kLongestSeq);
  const std::string topic = line.substr(tab1 + 1, tab2 - tab1 - 1);
  if (!seq || !is_topic(topic)) return false;
  record->seq = *seq;
  record->topic = topic;
  record->payload.assign(line, tab2 + 1);
  return true;
}

std::string mark_line(const std::string &topic, std::uint64_t seq) {
  return "#\t" + std::to_string(seq) + "\t" + topic;
}

bool parse_mark(const std::string &line, std::string *topic, std::uint64_t *seq) {
  if (line.compare(0, 2, "#\t") != 0) return false;
  const std::size_t tab = line.find('\t', 2);
  if (tab == std::string::npos) return false;
  const std::optional<std::uint64_t> value = number(line.substr(2, tab - 2), kLongestSeq);
  const std::string name = line.substr(tab + 1);
  if (!value || !is_topic(name)) return false;
  *topic = name;
  *seq = *value;
  return true;
}

std::string position_text(const Position &p) {
  std::string text = std::to_string(p.segment) + " " + std::to_string(p.offset) + "\n";
  for (const auto &[topic, seq] : p.seqs) text += std::to_string(seq) + "\t" + topic + "\n";
  return text;
}

std::optional<Position> parse_position(const std::string &text) {
  // Every line whole, the last one included: a position cut short is none.
  if (text.empty() || text.back() != '\n') return std::nullopt;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  const std::size_t space = line.find(' ');
  if (space == std::string::npos) return std::nullopt;
  const auto segment = number(line.substr(0, space), kLongestId);
  const auto offset = number(line.substr(space + 1), kLongestId);
  if (!segment || !offset) return std::nullopt;
  Position p{*segment, *offset, {}};
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return std::nullopt;
    const auto seq = number(line.substr(0, tab), kLongestSeq);
    const std::string topic = line.substr(tab + 1);
    if (!seq || !is_topic(topic)) return std::nullopt;
    p.seqs[topic] = *seq;
  }
  return p;
}

}  // namespace velkor::app::mqtt
