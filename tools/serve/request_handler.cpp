#include "tools/serve/request_handler.h"

#include <exception>

#include "tools/serve/api_error.h"
#include "tools/serve/console_files.h"
#include "tools/serve/embedded_files.h"
#include "tools/serve/epc_routes.h"
#include "tools/serve/event_stream_text.h"

namespace velkor::serve {

namespace {

Response openapi_document(const RouteCall &) {
  Response response;
  response.body = std::string(find_embedded_file("openapi.json")->content);
  return response;
}

Response event_stream(const RouteCall &call) {
  EventStreamStart start;
  if (const auto last = call.request.header("last-event-id")) {
    start.after = parse_event_id(*last);
    if (!start.after)
      throw ApiError(Refusal::kBadInput, "Last-Event-ID must be an event's number");
  }
  Response response;
  response.stream = start;
  return response;
}

}  // namespace

RequestHandler::RequestHandler(AccessPolicy policy,
                               const std::function<void(Router &)> &more_routes)
    : policy_(std::move(policy)) {
  router_.add("GET", "/api/v1/openapi.json", openapi_document);
  router_.add("GET", "/api/v1/events", event_stream);
  add_epc_routes(router_);
  if (more_routes) more_routes(router_);
}

Response RequestHandler::login(const std::string &token) const {
  if (!policy_.token_matches(token))
    return error_response(Refusal::kUnauthorized,
                          "the token in the address is wrong; open the address the server "
                          "printed");
  // The cookie keeps the token; the new address no longer shows it.
  Response response;
  response.status = 303;
  response.content_type.clear();
  response.headers = {{"location", "/"}, {"set-cookie", policy_.login_cookie()},
                      {"cache-control", "no-store"}};
  return response;
}

Response RequestHandler::handle(const Request &request) const {
  const std::optional<RequestTarget> target = parse_target(request.target);
  if (!target) return error_response(Refusal::kBadInput, "the request's path is malformed");
  const bool api = !target->segments.empty() && target->segments.front() == "api";
  if (request.method == "OPTIONS" && request.header("origin") &&
      request.header("access-control-request-method")) {
    if (auto refusal = policy_.check(request, false)) return *refusal;
    return policy_.preflight(request);
  }
  if (auto refusal = policy_.check(request, api)) return *refusal;
  if (api) {
    Response response = router_.route(request, *target);
    response.headers.push_back({"cache-control", "no-store"});
    policy_.add_cors_headers(request, response);
    if (response.later) {
      // The answer that comes later carries the same headers.
      response.later = [later = std::move(response.later), headers = response.headers](
                           Completion done) {
        later([headers, done = std::move(done)](Response late) {
          late.headers.insert(late.headers.end(), headers.begin(), headers.end());
          done(std::move(late));
        });
      };
    }
    return response;
  }
  const auto token = target->query.find("token");
  if (target->segments.empty() && token != target->query.end() &&
      (request.method == "GET" || request.method == "HEAD"))
    return login(token->second);
  return console_file(request.method, *target);
}

Response RequestHandler::operator()(const Request &request) const {
  try {
    return handle(request);
  } catch (const std::exception &e) {
    return error_response(Refusal::kInternal, std::string("the server failed: ") + e.what());
  }
}

}  // namespace velkor::serve
