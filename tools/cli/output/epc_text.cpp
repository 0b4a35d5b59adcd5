#include "tools/cli/output/epc_text.h"

#include "velkor_epc.hpp"

namespace velkor::tool {

std::optional<std::string> tag_uri_of(const Bytes &bytes) {
  const std::optional<epc::Epc> epc = epc::Epc::try_decode(bytes);
  if (!epc) return std::nullopt;
  return epc->tag_uri();
}

}  // namespace velkor::tool
