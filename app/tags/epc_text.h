// An EPC's GS1 tag URI through the EPC codec, for the reads that are
// decoded (every field of an EPC as JSON, and scheme names, are
// app/epc_json.h's).
#ifndef VELKOR_APP_TAGS_EPC_TEXT_H
#define VELKOR_APP_TAGS_EPC_TEXT_H

#include <optional>
#include <string>

#include "app/base/hex.h"

namespace velkor::app {

/// The tag URI of an EPC, or nullopt when it is no EPC of a known scheme.
std::optional<std::string> tag_uri_of(const Bytes &epc);

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_EPC_TEXT_H
