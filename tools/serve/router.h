// The API's routes: a method and a path pattern ("/api/v1/epc/{hex}") each,
// matched segment by segment.
#ifndef VELKOR_SERVE_ROUTER_H
#define VELKOR_SERVE_ROUTER_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/serve/http_message.h"
#include "tools/serve/request_target.h"

namespace velkor::serve {

/// What a route gets: the request, its target taken apart, and the values
/// of the pattern's {names}.
struct RouteCall {
  const Request &request;
  const RequestTarget &target;
  std::map<std::string, std::string> params;
};

/// A route's work; it may throw ApiError.
using RouteHandler = std::function<Response(const RouteCall &)>;

class Router {
 public:
  /// Adds a route: method ("GET") and pattern, whose segments in braces
  /// match any one segment and are passed by name.
  void add(const std::string &method, const std::string &pattern, RouteHandler handler);

  /// Runs the route that matches, or answers 404 when no pattern matches the
  /// path and 405 (with Allow) when only other methods' do.  ApiError and
  /// any other exception from a route become JSON error responses.
  Response route(const Request &request, const RequestTarget &target) const;

 private:
  struct Route {
    std::string method;
    std::vector<std::string> pattern;
    RouteHandler handler;
  };
  std::vector<Route> routes_;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_ROUTER_H
