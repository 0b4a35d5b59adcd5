#include "app/tags/epc_text.h"

#include "velkor_epc.hpp"

namespace velkor::app {

std::optional<std::string> tag_uri_of(const Bytes &bytes) {
  const std::optional<epc::Epc> epc = epc::Epc::try_decode(bytes);
  if (!epc) return std::nullopt;
  return epc->tag_uri();
}

}  // namespace velkor::app
