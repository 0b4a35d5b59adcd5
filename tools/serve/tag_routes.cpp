#include "app/events/read_event.h"
#include "app/reader/reader_config.h"
#include "app/tags/epc_text.h"
#include "app/tags/inventory_round.h"
#include "app/tags/tag_operations.h"
#include "tools/serve/api_error.h"
#include "tools/serve/hex_value.h"
#include "tools/serve/json_body.h"
#include "tools/serve/reader_routes.h"
#include "tools/serve/tag_names.h"

namespace velkor::serve {

namespace {

// The tag a path names by its EPC, with the password when one is given.
app::Target tag_of(const RouteCall &call, const std::optional<std::string> &password) {
  app::Target target;
  target.epc = hex_value(call.params.at("epc"), "the tag's EPC", 2, 62, true);
  if (password) target.password = hex_value(*password, "password", 4, 4);
  return target;
}

long long query_number(const RouteCall &call, const std::string &name, long long lowest,
                       long long highest) {
  const auto it = call.target.query.find(name);
  const std::string range = std::to_string(lowest) + " to " + std::to_string(highest);
  if (it == call.target.query.end())
    throw ApiError(Refusal::kBadInput, "?" + name + "= is missing: " + range);
  const std::string &text = it->second;
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoll(text) < lowest || std::stoll(text) > highest)
    throw ApiError(Refusal::kBadInput, "?" + name + "= must be " + range);
  return std::stoll(text);
}

nlohmann::json changed(const app::Result<app::Target> &done) {
  if (!done) throw api_error(done.error());
  return {{"epc", app::to_hex(done->epc)}};
}

Response inventory(ReaderRegistry &readers, const RouteCall &call) {
  const nlohmann::json body = optional_object_body(call.request);
  only_fields(body, {"mask", "tid", "decode"});
  app::Mask mask;
  if (const auto hex = string_field(body, "mask")) mask.bytes = hex_value(*hex, "mask", 0, 62);
  const bool tid = bool_field(body, "tid").value_or(false);
  const bool decode = bool_field(body, "decode").value_or(false);
  return on_reader(readers, call.params.at("id"), [mask, tid, decode](app::Session &s) {
    const app::Round round = app::inventory_round(s, mask, tid);
    if (!round.answered()) throw api_error(round.error());
    nlohmann::json tags = nlohmann::json::array();
    for (const app::TagRead &read : round.tags) {
      app::events::ReadEvent e{read, tid, decode, std::nullopt};
      if (decode) e.uri = app::tag_uri_of(read.epc);
      tags.push_back(nlohmann::json::parse(app::events::to_json(e).dump()));
    }
    return json_response({{"tags", tags}});
  });
}

Response read_memory(ReaderRegistry &readers, const RouteCall &call) {
  const int bank = bank_number(call.params.at("bank"), "bank");
  const auto password = call.target.query.find("password");
  const app::Target target =
      tag_of(call, password == call.target.query.end() ? std::nullopt
                                                       : std::optional(password->second));
  const int address = int(query_number(call, "address", 0, 0xFFFF));
  const int words = int(query_number(call, "words", 1, app::kMostReadWords));
  return on_reader(readers, call.params.at("id"), [=](app::Session &s) {
    const app::Result<app::Bytes> data = app::read_memory(s, target, bank, address, words);
    if (!data) throw api_error(data.error());
    return json_response({{"bank", app::bank_name(bank)},
                          {"address", address},
                          {"words", words},
                          {"data", app::to_hex(*data)}});
  });
}

Response write_memory(ReaderRegistry &readers, const RouteCall &call) {
  const int bank = bank_number(call.params.at("bank"), "bank");
  const nlohmann::json body = json_object_body(call.request);
  only_fields(body, {"address", "data", "password"});
  const auto address = integer_field(body, "address", 0, 0xFFFF);
  const auto hex = string_field(body, "data");
  if (!address || !hex) throw ApiError(Refusal::kBadInput, "address and data are both needed");
  const app::Bytes data = hex_value(*hex, "data", 2, 2 * app::kMostReadWords, true);
  const app::Target target = tag_of(call, string_field(body, "password"));
  return on_reader(readers, call.params.at("id"), [=](app::Session &s) {
    return json_response(changed(app::write_memory(s, target, bank, int(*address), data)));
  });
}

Response lock(ReaderRegistry &readers, const RouteCall &call) {
  const nlohmann::json body = json_object_body(call.request);
  only_fields(body, {"field", "action", "password", "confirm"});
  const auto field_text = string_field(body, "field");
  const auto action_text = string_field(body, "action");
  if (!field_text || !action_text)
    throw ApiError(Refusal::kBadInput, "field and action are both needed");
  const int field = lock_field(*field_text, "field");
  const int action = lock_action(*action_text, "action");
  const bool permanent = action == VELKOR_LOCK_PERMANENTLY_WRITABLE ||
                         action == VELKOR_LOCK_PERMANENTLY_LOCKED;
  if (permanent && !bool_field(body, "confirm").value_or(false))
    throw ApiError(Refusal::kBadInput,
                   *action_text + " cannot be undone: send \"confirm\": true to do it");
  const app::Target target = tag_of(call, string_field(body, "password"));
  return on_reader(readers, call.params.at("id"), [=](app::Session &s) {
    return json_response(changed(app::lock_tag(s, target, field, action)));
  });
}

Response kill(ReaderRegistry &readers, const RouteCall &call) {
  const nlohmann::json body = json_object_body(call.request);
  only_fields(body, {"password", "confirm"});
  if (!bool_field(body, "confirm").value_or(false))
    throw ApiError(Refusal::kBadInput,
                   "a killed tag never answers again: send \"confirm\": true to kill it");
  const auto password = string_field(body, "password");
  if (!password) throw ApiError(Refusal::kBadInput, "password: the kill password is needed");
  const app::Target target = tag_of(call, password);
  return on_reader(readers, call.params.at("id"), [=](app::Session &s) {
    return json_response(changed(app::kill_tag(s, target)));
  });
}

}  // namespace

void add_tag_routes(Router &router, ReaderRegistry &readers) {
  const auto with = [&readers](Response (*route)(ReaderRegistry &, const RouteCall &)) {
    return [&readers, route](const RouteCall &call) { return route(readers, call); };
  };
  router.add("POST", "/api/v1/readers/{id}/inventory", with(inventory));
  router.add("GET", "/api/v1/readers/{id}/tags/{epc}/{bank}", with(read_memory));
  router.add("PUT", "/api/v1/readers/{id}/tags/{epc}/{bank}", with(write_memory));
  router.add("POST", "/api/v1/readers/{id}/tags/{epc}/lock", with(lock));
  router.add("POST", "/api/v1/readers/{id}/tags/{epc}/kill", with(kill));
}

}  // namespace velkor::serve
