#include "tools/serve/epc_routes.h"

#include <vector>

#include "app/epc_json.h"
#include "tools/serve/api_error.h"
#include "tools/serve/json_body.h"

namespace velkor::serve {

namespace {

// Hex digits, two a byte; the codec says what else is wrong.
std::vector<std::uint8_t> epc_bytes(const std::string &hex) {
  if (hex.size() % 2 != 0 || hex.size() > 64 ||
      hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw ApiError(Refusal::kBadInput, "'" + hex + "' is not an EPC in hex (an even number of "
                                                   "hex digits, at most 64)");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

Response decode(const RouteCall &call) {
  const std::string &hex = call.params.at("hex");
  velkor_epc_error why{};
  const std::optional<epc::Epc> decoded = epc::Epc::try_decode(epc_bytes(hex), &why);
  if (!decoded) throw ApiError(Refusal::kBadInput, hex + ": " + why.message);
  return json_response(app::epc_json(*decoded));
}

Response encode(const RouteCall &call) {
  const nlohmann::json body = json_object_body(call.request);
  only_fields(body, {"uri", "gtin", "sscc", "gln", "grai", "giai", "gsrn", "gdti", "serial",
                     "prefix_length", "filter", "scheme"});
  app::EpcEncoding request;
  request.uri = string_field(body, "uri").value_or("");
  for (const app::EpcKeyName &key : app::kEpcKeys)
    if (const auto digits = string_field(body, key.name)) request.keys[key.name] = *digits;
  request.serial = string_field(body, "serial");
  if (const auto n = integer_field(body, "prefix_length", 6, 12))
    request.prefix_length = static_cast<unsigned>(*n);
  if (const auto n = integer_field(body, "filter", 0, 7)) request.filter = static_cast<unsigned>(*n);
  request.scheme = string_field(body, "scheme").value_or("");
  try {
    // The words name the body's fields as they are written.
    return json_response(app::epc_json(
        app::encode_epc(request, [](const std::string &field) { return field; })));
  } catch (const app::EpcRequestError &e) {
    throw ApiError(Refusal::kBadInput, e.what());
  }
}

}  // namespace

void add_epc_routes(Router &router) {
  router.add("GET", "/api/v1/epc/{hex}", decode);
  router.add("POST", "/api/v1/epc/encode", encode);
}

}  // namespace velkor::serve
