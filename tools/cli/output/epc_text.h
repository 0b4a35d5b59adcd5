// EPCs in words: the tag URI beside the hex (inventory --decode) and every
// field as JSON (epc decode --json), through the EPC codec.
#ifndef VELKOR_TOOLS_EPC_TEXT_H
#define VELKOR_TOOLS_EPC_TEXT_H

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/base/hex.h"
#include "tools/cli/core_names.h"
#include "velkor_epc.hpp"

namespace velkor::tool {

/// The tag URI of an EPC, or nullopt when it is no EPC of a known scheme.
std::optional<std::string> tag_uri_of(const Bytes &epc);

/// The size in bits of the scheme named ("sgtin-96" -> 96); 0 when no
/// scheme has that name.
unsigned scheme_bits(const std::string &name);

/// Every field of a decoded EPC: hex, scheme, filter, partition, the
/// components under their names ("item_reference"), the tag and
/// pure-identity URIs and the GS1 element string (null for GID-96).
nlohmann::json epc_json(const epc::Epc &epc);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_EPC_TEXT_H
