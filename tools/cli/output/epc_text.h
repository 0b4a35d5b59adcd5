// EPCs in words: the tag URI beside the hex (inventory --decode), through
// the EPC codec.  Every field as JSON is app/epc_json.h's.
#ifndef VELKOR_TOOLS_EPC_TEXT_H
#define VELKOR_TOOLS_EPC_TEXT_H

#include <optional>
#include <string>

#include "app/base/hex.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

/// The tag URI of an EPC, or nullopt when it is no EPC of a known scheme.
std::optional<std::string> tag_uri_of(const Bytes &epc);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_EPC_TEXT_H
