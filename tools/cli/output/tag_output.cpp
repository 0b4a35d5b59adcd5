#include "tools/cli/output/tag_output.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "tools/cli/output/epc_text.h"

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
  const std::string tid = read.tid ? to_hex(*read.tid) : "";
  // A reader that sends TIDs alone leaves the EPC empty: the TID tells tags apart.
  if (options_.unique && !written_.insert(epc + "/" + tid).second) return;
  const std::optional<std::string> uri =
      options_.decode ? tag_uri_of(read.epc) : std::nullopt;
  switch (options_.format) {
    case Format::kText: {
      std::string line = epc.empty() ? "-" : epc;
      if (options_.tid) line += "  " + (tid.empty() ? "-" : tid);
      if (uri) line += "  " + *uri;
      std::printf("%s\n", line.c_str());
      break;
    }
    case Format::kJson: {
      nlohmann::ordered_json record = {{"round", read.round},
                               {"time", utc_time(read.time)},
                               {"epc", epc},
                               {"antenna", read.antenna}};
      if (options_.tid) record["tid"] = tid;
      if (options_.decode)
        record["uri"] = uri ? nlohmann::ordered_json(*uri) : nlohmann::ordered_json(nullptr);
      std::printf("%s\n", record.dump().c_str());
      break;
    }
    case Format::kCsv:
      if (!header_written_)
        std::printf("round,time,epc,antenna%s%s\n", options_.tid ? ",tid" : "",
                    options_.decode ? ",uri" : "");
      header_written_ = true;
      std::printf("%u,%s,%s,%d", read.round, utc_time(read.time).c_str(), epc.c_str(),
                  read.antenna);
      if (options_.tid) std::printf(",%s", tid.c_str());
      // A tag URI holds no comma or quote, so it needs no CSV quoting.
      std::printf(options_.decode ? ",%s\n" : "%s\n", uri ? uri->c_str() : "");
      break;
  }
  std::fflush(stdout);
}

}  // namespace velkor::tool
