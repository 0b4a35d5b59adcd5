#include "tools/cli/output/epc_text.h"

namespace velkor::tool {

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

nlohmann::json epc_json(const epc::Epc &epc) {
  nlohmann::json fields = {{"epc", epc.hex()},
                           {"scheme", epc.scheme_name()},
                           {"tag_uri", epc.tag_uri()},
                           {"id_uri", epc.id_uri()},
                           {"gs1", nullptr}};
  if (epc.scheme() != epc::Scheme::gid_96) {
    fields["filter"] = epc.filter();
    fields["partition"] = epc.partition();
  }
  if (const auto gs1 = epc.gs1()) fields["gs1"] = *gs1;
  const velkor_epc_scheme scheme = epc.fields().scheme;
  const struct {
    velkor_epc_field field;
    std::string_view value;
  } components[] = {{VELKOR_EPC_FIELD_COMPANY_PREFIX, epc.company_prefix()},
                    {VELKOR_EPC_FIELD_REFERENCE, epc.reference()},
                    {VELKOR_EPC_FIELD_SERIAL, epc.serial()}};
  for (const auto &c : components) {
    const char *name = velkor_epc_component_name(scheme, c.field);
    if (name == nullptr) continue;
    std::string key = name;
    for (char &ch : key)
      if (ch == ' ') ch = '_';
    fields[key] = c.value;
  }
  return fields;
}

}  // namespace velkor::tool
