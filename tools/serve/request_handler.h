// The server's one entry point for a request, apart from sockets: the
// access checks, then the API's routes under /api/ or the console's files.
#ifndef VELKOR_SERVE_REQUEST_HANDLER_H
#define VELKOR_SERVE_REQUEST_HANDLER_H

#include <functional>

#include "tools/serve/access_policy.h"
#include "tools/serve/http_message.h"
#include "tools/serve/router.h"

namespace velkor::serve {

class RequestHandler {
 public:
  /// policy: [in] the access checks; more_routes: [in] adds the routes of
  /// what the server drives (its readers and jobs) to the router.
  explicit RequestHandler(AccessPolicy policy,
                          const std::function<void(Router &)> &more_routes = {});

  /// The response to request.  Never throws: whatever the request holds,
  /// the answer is a response (an error one in JSON).  GET /api/v1/events
  /// answers with Response::stream set; "/?token=" with the right token
  /// answers 303 to "/" with the login cookie.
  Response operator()(const Request &request) const;

 private:
  Response handle(const Request &request) const;
  Response login(const std::string &token) const;

  AccessPolicy policy_;
  Router router_;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_REQUEST_HANDLER_H
