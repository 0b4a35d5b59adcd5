#include "tools/serve/api_error.h"

#include <nlohmann/json.hpp>

namespace velkor::serve {

int http_status(Refusal refusal) {
  switch (refusal) {
    case Refusal::kBadInput: return 400;
    case Refusal::kUnauthorized: return 401;
    case Refusal::kForbidden: return 403;
    case Refusal::kNotFound: return 404;
    case Refusal::kMethodNotAllowed: return 405;
    case Refusal::kConflict: return 409;
    case Refusal::kTooLarge: return 413;
    case Refusal::kUnsupportedMedia: return 415;
    case Refusal::kReaderRefused: return 422;
    case Refusal::kHeadersTooLarge: return 431;
    case Refusal::kInternal: return 500;
    case Refusal::kUnavailable: return 503;
  }
  return 500;
}

ApiError api_error(const app::Error &error) {
  using app::ErrorKind;
  switch (error.kind) {
    case ErrorKind::kBadInput: return ApiError(Refusal::kBadInput, error.message());
    case ErrorKind::kNotFound:
    case ErrorKind::kNoTag: return ApiError(Refusal::kNotFound, error.message());
    case ErrorKind::kSeveralTags:
    case ErrorKind::kBusy:
    case ErrorKind::kConflict:
    case ErrorKind::kStopped: return ApiError(Refusal::kConflict, error.message());
    case ErrorKind::kReader:
      return ApiError(Refusal::kReaderRefused, error.message(), error.status);
    case ErrorKind::kLink: return ApiError(Refusal::kUnavailable, error.message());
    case ErrorKind::kFile: break;
  }
  return ApiError(Refusal::kInternal, error.message());
}

Response error_response(Refusal refusal, const std::string &words,
                        std::optional<int> reader_status) {
  Response response;
  response.status = http_status(refusal);
  nlohmann::json body = {{"error", words}, {"status", nullptr}};
  if (reader_status) body["status"] = *reader_status;
  // Words may hold what a client sent; replaced, not thrown on, if not UTF-8.
  response.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (refusal == Refusal::kUnauthorized)
    response.headers.push_back({"www-authenticate", "Bearer"});
  return response;
}

Response error_response(const ApiError &error) {
  return error_response(error.refusal(), error.what(), error.reader_status());
}

}  // namespace velkor::serve
