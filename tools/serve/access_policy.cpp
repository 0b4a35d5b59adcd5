#include "tools/serve/access_policy.h"

#include <algorithm>
#include <cctype>

#include "tools/serve/access_token.h"
#include "tools/serve/api_error.h"

namespace velkor::serve {

namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool changes_something(const std::string &method) {
  return method != "GET" && method != "HEAD" && method != "OPTIONS";
}

}  // namespace

const std::vector<Header> &security_headers() {
  static const std::vector<Header> headers = {
      {"content-security-policy", "default-src 'self'"},
      {"x-frame-options", "DENY"},
      {"x-content-type-options", "nosniff"},
      // The console's first address carries the token: no page may pass it on.
      {"referrer-policy", "no-referrer"},
  };
  return headers;
}

AccessPolicy::AccessPolicy(AccessSettings settings) : settings_(std::move(settings)) {
  cookie_name_ = "velkor_token_" + std::to_string(settings_.port);
  const std::string port = std::to_string(settings_.port);
  const bool default_port = settings_.port == (settings_.tls ? 443 : 80);
  const std::string address = settings_.address.find(':') != std::string::npos
                                  ? "[" + settings_.address + "]"
                                  : settings_.address;
  for (const std::string &host : {lower(address), std::string("localhost")}) {
    own_hosts_.push_back(host + ":" + port);
    if (default_port) own_hosts_.push_back(host);
  }
  for (std::string &origin : settings_.allowed_origins) origin = lower(origin);
}

bool AccessPolicy::host_allowed(const Request &request) const {
  if (!settings_.loopback) return true;
  const std::optional<std::string_view> host = request.header("host");
  if (!host) return false;
  const std::string wanted = lower(trim(*host));
  return std::find(own_hosts_.begin(), own_hosts_.end(), wanted) != own_hosts_.end();
}

bool AccessPolicy::allowed_elsewhere(std::string_view origin) const {
  const std::string wanted = lower(origin);
  return std::find(settings_.allowed_origins.begin(), settings_.allowed_origins.end(), wanted) !=
         settings_.allowed_origins.end();
}

bool AccessPolicy::origin_allowed(std::string_view origin, const Request &request) const {
  if (allowed_elsewhere(origin)) return true;
  const std::string wanted = lower(trim(origin));
  const std::string scheme = settings_.tls ? "https://" : "http://";
  if (settings_.loopback)
    return std::any_of(own_hosts_.begin(), own_hosts_.end(),
                       [&](const std::string &host) { return wanted == scheme + host; });
  // Off loopback the server goes by whatever name its clients use: its own
  // origin is the one the request's Host names.
  const std::optional<std::string_view> host = request.header("host");
  return host && !trim(*host).empty() && wanted == scheme + lower(trim(*host));
}

std::optional<std::string> AccessPolicy::cookie_token(const Request &request) const {
  for (const Header &h : request.headers) {
    if (h.name != "cookie") continue;
    std::string_view rest = h.value;
    while (!rest.empty()) {
      const std::size_t semicolon = rest.find(';');
      const std::string_view pair = trim(rest.substr(0, semicolon));
      rest = semicolon == std::string_view::npos ? std::string_view{} : rest.substr(semicolon + 1);
      const std::size_t equals = pair.find('=');
      if (equals != std::string_view::npos && pair.substr(0, equals) == cookie_name_)
        return std::string(pair.substr(equals + 1));
    }
  }
  return std::nullopt;
}

bool AccessPolicy::token_matches(std::string_view token) const {
  return same_token(settings_.token, token);
}

std::optional<Response> AccessPolicy::check(const Request &request, bool api) const {
  if (!host_allowed(request))
    return error_response(Refusal::kForbidden,
                          "the Host header names another server; use the address the server "
                          "printed");
  const std::optional<std::string_view> origin = request.header("origin");
  if (origin && changes_something(request.method) && !origin_allowed(*origin, request))
    return error_response(Refusal::kForbidden,
                          "a page from another origin may not change anything here "
                          "(see --allow-origin)");
  if (!api) return std::nullopt;
  if (const std::optional<std::string_view> authorization = request.header("authorization")) {
    const std::string_view value = trim(*authorization);
    if (value.size() > 7 && lower(value.substr(0, 7)) == "bearer " &&
        token_matches(trim(value.substr(7))))
      return std::nullopt;
    return error_response(Refusal::kUnauthorized, "the token is wrong");
  }
  if (const std::optional<std::string> cookie = cookie_token(request)) {
    if (token_matches(*cookie)) return std::nullopt;
    return error_response(Refusal::kUnauthorized,
                          "the console's token is out of date; open the address the server "
                          "printed");
  }
  return error_response(Refusal::kUnauthorized,
                        "a token is needed: send Authorization: Bearer TOKEN, with the token "
                        "the server printed");
}

Response AccessPolicy::preflight(const Request &request) const {
  const std::optional<std::string_view> origin = request.header("origin");
  if (!origin || !allowed_elsewhere(*origin))
    return error_response(Refusal::kForbidden, "this origin may not call the API "
                                               "(see --allow-origin)");
  Response response;
  response.status = 204;
  response.content_type.clear();
  response.headers = {{"access-control-allow-origin", std::string(*origin)},
                      {"access-control-allow-methods", "GET, POST, PUT, PATCH, DELETE"},
                      {"access-control-allow-headers",
                       "Authorization, Content-Type, Last-Event-ID"},
                      {"access-control-max-age", "600"},
                      {"vary", "Origin"}};
  return response;
}

void AccessPolicy::add_cors_headers(const Request &request, Response &response) const {
  const std::optional<std::string_view> origin = request.header("origin");
  if (!origin || !allowed_elsewhere(*origin)) return;
  response.headers.push_back({"access-control-allow-origin", std::string(*origin)});
  response.headers.push_back({"vary", "Origin"});
}

std::string AccessPolicy::login_cookie() const {
  return cookie_name_ + "=" + settings_.token + "; Path=/; HttpOnly; SameSite=Strict" +
         (settings_.tls ? "; Secure" : "");
}

}  // namespace velkor::serve
