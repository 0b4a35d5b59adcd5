// The web console: its files, built into the binary, served by path with
// their media types.
#ifndef VELKOR_SERVE_CONSOLE_FILES_H
#define VELKOR_SERVE_CONSOLE_FILES_H

#include <string_view>

#include "tools/serve/http_message.h"
#include "tools/serve/request_target.h"

namespace velkor::serve {

/// The media type for a file name, by its extension ("app.js" ->
/// "text/javascript; charset=utf-8"); application/octet-stream for others.
std::string_view media_type_of(std::string_view name);

/// The console file at target ("/" is index.html): 200 with its content,
/// or 404 in JSON for a path that names none (any "." or ".." segment, or
/// one holding an encoded slash, included: no path climbs out of the
/// console's files).  method: GET
/// or HEAD; others get 405.
Response console_file(const std::string &method, const RequestTarget &target);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_CONSOLE_FILES_H
