#include "tools/serve/router.h"

#include <exception>

#include "tools/serve/api_error.h"

namespace velkor::serve {

namespace {

bool is_parameter(const std::string &segment) {
  return segment.size() > 2 && segment.front() == '{' && segment.back() == '}';
}

bool matches(const std::vector<std::string> &pattern, const std::vector<std::string> &segments,
             std::map<std::string, std::string> *params) {
  if (pattern.size() != segments.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (is_parameter(pattern[i])) {
      if (segments[i].empty()) return false;
      if (params) (*params)[pattern[i].substr(1, pattern[i].size() - 2)] = segments[i];
    } else if (pattern[i] != segments[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

void Router::add(const std::string &method, const std::string &pattern, RouteHandler handler) {
  RequestTarget parsed = parse_target(pattern).value();
  routes_.push_back({method, std::move(parsed.segments), std::move(handler)});
}

Response Router::route(const Request &request, const RequestTarget &target) const {
  std::string allowed;
  for (const Route &route : routes_) {
    if (!matches(route.pattern, target.segments, nullptr)) continue;
    if (route.method != request.method) {
      allowed += (allowed.empty() ? "" : ", ") + route.method;
      continue;
    }
    RouteCall call{request, target, {}};
    matches(route.pattern, target.segments, &call.params);
    try {
      return route.handler(call);
    } catch (const ApiError &e) {
      return error_response(e);
    } catch (const std::exception &e) {
      return error_response(Refusal::kInternal, std::string("the server failed: ") + e.what());
    }
  }
  if (allowed.empty()) return error_response(Refusal::kNotFound, "no such path in the API");
  Response response = error_response(Refusal::kMethodNotAllowed,
                                     request.method + " is not allowed here; use " + allowed);
  response.headers.push_back({"allow", allowed});
  return response;
}

}  // namespace velkor::serve
