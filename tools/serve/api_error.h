// Refusals and their HTTP statuses, in one place: every error response is
// JSON, {"error": "words", "status": <the reader's status or null>}.
#ifndef VELKOR_SERVE_API_ERROR_H
#define VELKOR_SERVE_API_ERROR_H

#include <optional>
#include <stdexcept>
#include <string>

#include "app/base/error.h"
#include "tools/serve/http_message.h"

namespace velkor::serve {

/// Why a request is refused: the kinds of the core's errors, and the HTTP
/// layer's own.
enum class Refusal {
  kBadInput,             ///< 400: malformed target, JSON or value
  kUnauthorized,         ///< 401: no token, or a wrong one
  kForbidden,            ///< 403: a foreign Host or Origin
  kNotFound,             ///< 404: no such path, reader, tag or job
  kMethodNotAllowed,     ///< 405
  kConflict,             ///< 409: several tags where one is meant, a busy reader
  kTooLarge,             ///< 413: a body over the cap
  kUnsupportedMedia,     ///< 415: a body that is not JSON
  kReaderRefused,        ///< 422: the reader answered with a status
  kHeadersTooLarge,      ///< 431
  kInternal,             ///< 500: a fault of the server's own
  kUnavailable,          ///< 503: the reader's link is lost, or no room for a connection
};

/// The HTTP status for a refusal.
int http_status(Refusal refusal);

/// A refusal thrown by a route; the handler turns it into the response.
class ApiError : public std::runtime_error {
 public:
  /// words: what went wrong, for a person; reader_status: the reader's
  /// status byte when the reader refused.
  ApiError(Refusal refusal, const std::string &words,
           std::optional<int> reader_status = std::nullopt)
      : std::runtime_error(words), refusal_(refusal), reader_status_(reader_status) {}
  Refusal refusal() const { return refusal_; }
  std::optional<int> reader_status() const { return reader_status_; }

 private:
  Refusal refusal_;
  std::optional<int> reader_status_;
};

/// The refusal for a failure of the core, the one place its kinds become
/// HTTP statuses: bad input 400; no reader, job or tag 404; several tags,
/// a busy reader, a journal in conflict or a stopped job 409; the reader's
/// refusal 422 with its status; a lost link 503; a file 500.  The words are
/// the error's message ("write failed: 0xFB (no tag in the field)").
ApiError api_error(const app::Error &error);

/// The JSON error response for a refusal.
Response error_response(Refusal refusal, const std::string &words,
                        std::optional<int> reader_status = std::nullopt);
/// The JSON error response for a thrown ApiError.
Response error_response(const ApiError &error);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_API_ERROR_H
