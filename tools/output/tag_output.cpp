#include "tools/output/tag_output.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "tools/output/epc_text.h"

namespace velkor::tool {

namespace {

std::string format_time(WallClock::time_point t, bool utc, const char *layout,
                        const char *suffix) {
  const std::time_t seconds = WallClock::to_time_t(t);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      t.time_since_epoch()).count() % 1000;
  std::tm parts{};
  if (utc)
    gmtime_r(&seconds, &parts);
  else
    localtime_r(&seconds, &parts);
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, layout, &parts);
  std::snprintf(text + n, sizeof text - n, ".%03d%s", static_cast<int>(ms), suffix);
  return text;
}

}  // namespace

std::string counted(std::size_t n, const char *noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string utc_time(WallClock::time_point t) {
  return format_time(t, true, "%Y-%m-%dT%H:%M:%S", "Z");
}

std::string local_time(WallClock::time_point t) {
  return format_time(t, false, "%H:%M:%S", "");
}

void TagWriter::write(const TagRead &read) {
  const std::string epc = to_hex(read.epc);
  const std::optional<std::string> uri = decode_ ? tag_uri_of(read.epc) : std::nullopt;
  switch (format_) {
    case Format::kText:
      std::printf("%s%s%s\n", epc.c_str(), uri ? "  " : "", uri ? uri->c_str() : "");
      break;
    case Format::kJson: {
      nlohmann::json record = {{"round", read.round},
                               {"time", utc_time(read.time)},
                               {"epc", epc},
                               {"antenna", read.antenna}};
      if (decode_) record["uri"] = uri ? nlohmann::json(*uri) : nlohmann::json(nullptr);
      std::printf("%s\n", record.dump().c_str());
      break;
    }
    case Format::kCsv:
      if (!header_written_) std::printf("round,time,epc,antenna%s\n", decode_ ? ",uri" : "");
      header_written_ = true;
      std::printf("%u,%s,%s,%d", read.round, utc_time(read.time).c_str(), epc.c_str(),
                  read.antenna);
      // A tag URI holds no comma or quote, so it needs no CSV quoting.
      std::printf(decode_ ? ",%s\n" : "%s\n", uri ? uri->c_str() : "");
      break;
  }
  std::fflush(stdout);
}

}  // namespace velkor::tool
