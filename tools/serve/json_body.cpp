#include "tools/serve/json_body.h"

#include <algorithm>
#include <cctype>

#include "tools/serve/api_error.h"

namespace velkor::serve {

namespace {

constexpr std::size_t kMaxDepth = 32;

// "Application/JSON; charset=utf-8" -> "application/json".
std::string media_type(std::string_view header) {
  std::string_view media = header.substr(0, header.find(';'));
  while (!media.empty() && media.front() == ' ') media.remove_prefix(1);
  while (!media.empty() && media.back() == ' ') media.remove_suffix(1);
  std::string out(media);
  for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

nlohmann::json json_object_body(const Request &request) {
  if (media_type(request.header("content-type").value_or("")) != "application/json")
    throw ApiError(Refusal::kUnsupportedMedia, "the body must be JSON (Content-Type: "
                                               "application/json)");
  bool too_deep = false;
  const auto limit_depth = [&too_deep](int depth, nlohmann::json::parse_event_t,
                                       nlohmann::json &) {
    if (static_cast<std::size_t>(depth) > kMaxDepth) too_deep = true;
    return !too_deep;
  };
  nlohmann::json body;
  try {
    body = nlohmann::json::parse(request.body, limit_depth);
  } catch (const nlohmann::json::exception &e) {
    throw ApiError(Refusal::kBadInput, std::string("the body is not JSON: ") + e.what());
  }
  if (too_deep)
    throw ApiError(Refusal::kBadInput, "the body nests deeper than " + std::to_string(kMaxDepth) +
                                           " levels");
  if (!body.is_object()) throw ApiError(Refusal::kBadInput, "the body must be a JSON object");
  return body;
}

nlohmann::json optional_object_body(const Request &request) {
  if (request.body.empty()) return nlohmann::json::object();
  return json_object_body(request);
}

std::optional<bool> bool_field(const nlohmann::json &body, const std::string &name) {
  const auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  if (!it->is_boolean()) throw ApiError(Refusal::kBadInput, name + ": must be true or false");
  return it->get<bool>();
}

Response json_response(const nlohmann::json &body, int status) {
  Response response;
  response.status = status;
  response.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return response;
}

std::optional<std::string> string_field(const nlohmann::json &body, const std::string &name) {
  const auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  if (!it->is_string()) throw ApiError(Refusal::kBadInput, name + ": must be a string");
  return it->get<std::string>();
}

std::optional<long long> integer_field(const nlohmann::json &body, const std::string &name,
                                       long long lowest, long long highest) {
  const auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  const std::string range = std::to_string(lowest) + " to " + std::to_string(highest);
  if (!it->is_number_integer())
    throw ApiError(Refusal::kBadInput, name + ": must be a whole number, " + range);
  // Unsigned values past the signed range compare correctly as unsigned.
  if (it->is_number_unsigned() && it->get<unsigned long long>() >
                                      static_cast<unsigned long long>(highest))
    throw ApiError(Refusal::kBadInput, name + ": must be " + range);
  const long long value = it->get<long long>();
  if (value < lowest || value > highest)
    throw ApiError(Refusal::kBadInput, name + ": must be " + range);
  return value;
}

void only_fields(const nlohmann::json &body, std::initializer_list<const char *> known) {
  for (const auto &item : body.items())
    if (std::none_of(known.begin(), known.end(),
                     [&](const char *name) { return item.key() == name; }))
      throw ApiError(Refusal::kBadInput, "unknown field '" + item.key() + "'");
}

}  // namespace velkor::serve
