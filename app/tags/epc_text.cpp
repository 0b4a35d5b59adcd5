#include "app/tags/epc_text.h"

#include "velkor_epc.hpp"

namespace velkor::app {

std::optional<std::string> tag_uri_of(const Bytes &bytes) {
  const std::optional<epc::Epc> epc = epc::Epc::try_decode(bytes);
  if (!epc) return std::nullopt;
  return epc->tag_uri();
}

unsigned scheme_bits(const std::string &name) {
  for (int s = VELKOR_EPC_SGTIN_96; s <= VELKOR_EPC_GDTI_96; ++s)
    if (name == velkor_epc_scheme_name(static_cast<velkor_epc_scheme>(s)))
      return velkor_epc_scheme_bits(static_cast<velkor_epc_scheme>(s));
  return 0;
}

}  // namespace velkor::app
