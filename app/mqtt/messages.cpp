#include "app/mqtt/messages.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

namespace velkor::app::mqtt {

std::string utc_text(WallClock::time_point t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
  const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(ms).count();
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                static_cast<int>(ms.count() % 1000));
  return text;
}

std::string read_message(const std::string &reader, std::uint64_t seq, const Read &read) {
  nlohmann::json m = {{"reader", reader},   {"seq", seq},
                      {"epc", read.epc},    {"antenna", read.antenna},
                      {"round", read.round}, {"time", utc_text(read.time)}};
  if (!read.uri.empty()) m["uri"] = read.uri;
  return m.dump();
}

std::string event_message(const std::string &reader, std::uint64_t seq, const char *event,
                          const std::string &epc, int antenna, WallClock::time_point time) {
  return nlohmann::json{{"reader", reader}, {"seq", seq},         {"event", event},
                        {"epc", epc},       {"antenna", antenna}, {"time", utc_text(time)}}
      .dump();
}

std::string status_message(const std::string &reader, const char *state,
                           const WallClock::time_point *time) {
  nlohmann::json m = {{"reader", reader}, {"state", state}};
  if (time) m["time"] = utc_text(*time);
  return m.dump();
}

}  // namespace velkor::app::mqtt
