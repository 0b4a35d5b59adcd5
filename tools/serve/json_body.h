// JSON request bodies and their fields, refused with words a client can act
// on (400, or 415 when the body is not declared JSON).
#ifndef VELKOR_SERVE_JSON_BODY_H
#define VELKOR_SERVE_JSON_BODY_H

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "tools/serve/http_message.h"

namespace velkor::serve {

/// The body as a JSON object.  Throws ApiError: 415 unless Content-Type is
/// application/json, 400 when the body is not JSON, nests deeper than 32
/// levels, or is not an object.
nlohmann::json json_object_body(const Request &request);

/// The body as a JSON object, or an empty object when there is no body at
/// all (a request whose options all have defaults).  Throws as
/// json_object_body.
nlohmann::json optional_object_body(const Request &request);

/// The true-or-false field `name` of body, nullopt when absent; ApiError 400
/// when it is there but no boolean.
std::optional<bool> bool_field(const nlohmann::json &body, const std::string &name);

/// A 200 (or `status`) response with the document as its JSON body.
Response json_response(const nlohmann::json &body, int status = 200);

/// The string field `name` of body, nullopt when absent; ApiError 400 when
/// it is there but no string.
std::optional<std::string> string_field(const nlohmann::json &body, const std::string &name);

/// The whole-number field `name` of body within [lowest, highest], nullopt
/// when absent; ApiError 400 when it is no such number.
std::optional<long long> integer_field(const nlohmann::json &body, const std::string &name,
                                       long long lowest, long long highest);

/// Refuses (ApiError 400) any field of body not in known, naming it, so a
/// misspelt option is never silently ignored.
void only_fields(const nlohmann::json &body, std::initializer_list<const char *> known);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_JSON_BODY_H
