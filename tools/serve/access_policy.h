// Who may ask what: the token on every API call, the Host check against DNS
// rebinding on loopback, the Origin check on every request that changes
// something, and the headers every response carries.
#ifndef VELKOR_SERVE_ACCESS_POLICY_H
#define VELKOR_SERVE_ACCESS_POLICY_H

#include <optional>
#include <string>
#include <vector>

#include "tools/serve/http_message.h"

namespace velkor::serve {

struct AccessSettings {
  std::string token;
  /// The address the server is bound to, as text ("127.0.0.1", "::1").
  std::string address;
  unsigned short port = 0;
  bool loopback = true;  ///< the address is a loopback one
  bool tls = false;
  /// Origins besides the server's own that may change things and call the
  /// API from their pages ("https://dashboard.example:8443").
  std::vector<std::string> allowed_origins;
};

/// The headers every response carries: Content-Security-Policy
/// "default-src 'self'", X-Frame-Options DENY, X-Content-Type-Options
/// nosniff, Referrer-Policy no-referrer.
const std::vector<Header> &security_headers();

class AccessPolicy {
 public:
  explicit AccessPolicy(AccessSettings settings);

  /// Checks a request to any path (api: under /api/).  Nullopt when it may
  /// go on, else the refusal: 403 for a Host other than the bound address
  /// or localhost (when bound to loopback), 403 for a method other than
  /// GET, HEAD and OPTIONS carrying a foreign Origin, 401 for an API call
  /// without the token (Authorization: Bearer, or the console's cookie).
  std::optional<Response> check(const Request &request, bool api) const;

  /// The answer to a CORS preflight (OPTIONS with Origin and
  /// Access-Control-Request-Method): 204 with the Access-Control headers
  /// for an allowed origin, 403 for any other.
  Response preflight(const Request &request) const;

  /// Adds Access-Control-Allow-Origin (and Vary) to response when request
  /// comes from one of the allowed origins; nothing otherwise.
  void add_cors_headers(const Request &request, Response &response) const;

  /// True when token is the server's.
  bool token_matches(std::string_view token) const;

  /// The Set-Cookie value that keeps the token in the console's browser:
  /// HttpOnly, SameSite=Strict, Path=/, Secure with TLS; named after the
  /// port, so servers on one host keep their own.
  std::string login_cookie() const;

 private:
  bool host_allowed(const Request &request) const;
  bool origin_allowed(std::string_view origin, const Request &request) const;
  bool allowed_elsewhere(std::string_view origin) const;
  std::optional<std::string> cookie_token(const Request &request) const;

  AccessSettings settings_;
  std::string cookie_name_;
  std::vector<std::string> own_hosts_;  ///< lower case, "127.0.0.1:8780", "localhost:8780"
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_ACCESS_POLICY_H
