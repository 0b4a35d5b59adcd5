// EPCs in GS1 words through the EPC codec: the tag URI beside the hex, and
// scheme names ("sgtin-96") as commissioning and encoding take them.
#ifndef VELKOR_APP_TAGS_EPC_TEXT_H
#define VELKOR_APP_TAGS_EPC_TEXT_H

#include <optional>
#include <string>

#include "app/base/hex.h"

namespace velkor::app {

/// The tag URI of an EPC, or nullopt when it is no EPC of a known scheme.
std::optional<std::string> tag_uri_of(const Bytes &epc);

/// The size in bits of the scheme named ("sgtin-96" -> 96); 0 when no
/// scheme has that name.
unsigned scheme_bits(const std::string &name);

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_EPC_TEXT_H
