#include "app/epc_json.h"

namespace velkor::app {

const EpcKeyName kEpcKeys[7] = {
    {"gtin", epc::Key::gtin, "sgtin"}, {"sscc", epc::Key::sscc, "sscc"},
    {"gln", epc::Key::gln, "sgln"},    {"grai", epc::Key::grai, "grai"},
    {"giai", epc::Key::giai, "giai"},  {"gsrn", epc::Key::gsrn, "gsrn"},
    {"gdti", epc::Key::gdti, "gdti"},
};

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

namespace {

// The scheme's family, "sgtin" for "sgtin-96".
std::string family_of(const std::string &scheme) { return scheme.substr(0, scheme.find('-')); }

}  // namespace

epc::Epc encode_epc(const EpcEncoding &r, const InputName &name) {
  auto refuse = [](const std::string &words) { throw EpcRequestError(words); };
  const bool tag_uri = r.uri.rfind("urn:epc:tag:", 0) == 0;
  if (r.uri.empty() == r.keys.empty())
    refuse("give a URI or one GS1 key (" + name("gtin") + ", " + name("sscc") + ", ...)");
  if (r.keys.size() > 1) refuse("give one GS1 key, not " + std::to_string(r.keys.size()));
  if (tag_uri && (r.filter || !r.scheme.empty()))
    refuse("a tag URI carries its own filter and scheme");
  if (!r.uri.empty() && (r.prefix_length || r.serial))
    refuse(name("prefix_length") + " and " + name("serial") + " go with a GS1 key");
  if (!r.keys.empty() && !r.prefix_length)
    refuse("a GS1 key needs " + name("prefix_length") + " (the digits of its company prefix)");
  const unsigned bits = r.scheme.empty() ? 0 : scheme_bits(r.scheme);
  if (!r.scheme.empty() && bits == 0)
    refuse(name("scheme") + ": '" + r.scheme + "' is not a scheme");
  const unsigned filter = r.filter.value_or(0);
  try {
    std::optional<epc::Epc> result;
    if (tag_uri) {
      result = epc::Epc::from_tag_uri(r.uri);
    } else if (!r.uri.empty()) {
      result = epc::Epc::from_id_uri(r.uri, filter, bits);
    } else {
      const auto &[key_name, digits] = *r.keys.begin();
      for (const EpcKeyName &key : kEpcKeys)
        if (key_name == key.name) {
          if (!r.scheme.empty() && family_of(r.scheme) != key.family)
            refuse(name("scheme") + ": " + r.scheme + " does not hold a " + key_name);
          result = epc::Epc::from_gs1(key.key, digits, *r.prefix_length, r.serial, filter, bits);
        }
      if (!result) refuse("'" + key_name + "' is not a GS1 key");
    }
    if (!r.scheme.empty() && result->scheme_name() != r.scheme)
      refuse(name("scheme") + ": " + r.scheme + " does not hold this " +
             family_of(std::string(result->scheme_name())));
    return *result;
  } catch (const epc::Error &e) {
    throw EpcRequestError(e.what());
  }
}

}  // namespace velkor::app
