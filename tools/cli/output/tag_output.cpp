#include "tools/cli/output/tag_output.h"

#include <cstdio>

#include "app/base/time_text.h"
#include "app/events/read_event.h"
#include "app/tags/epc_text.h"

namespace velkor::tool {

std::string counted(std::size_t n, const char *noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
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
    case Format::kJson:
      std::printf("%s\n",
                  events::to_json({read, options_.tid, options_.decode, uri}).dump().c_str());
      break;
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
