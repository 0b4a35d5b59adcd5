// Fuzzes velkor serve's request handler without sockets: routing, path and
// query parsing, the access checks, JSON bodies and the EPC codec behind
// them.  The input is the request as lines: the method, the target, then
// header lines "name: value" up to an empty line, then the body.  Aborts
// unless every answer is one the server may give: a status from 200 to
// 599, an error's body JSON of exactly {"error": words, "status": null},
// and nothing under /api answered 2xx without the token.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "tools/serve/request_handler.h"

using namespace velkor::serve;

namespace {

const std::string kToken = "0123456789abcdef0123456789abcdef";

std::string_view next_line(std::string_view &rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return line;
}

[[noreturn]] void fail(const char *why, const Request &request, const Response &response) {
  std::fprintf(stderr, "%s: %s %s -> %d %s\n", why, request.method.c_str(),
               request.target.c_str(), response.status, response.body.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const RequestHandler handler(
      AccessPolicy(AccessSettings{kToken, "127.0.0.1", 8780, true, false,
                                  {"https://allowed.example"}}));
  std::string_view rest(reinterpret_cast<const char *>(data), size);
  Request request;
  request.method = std::string(next_line(rest));
  request.target = std::string(next_line(rest));
  while (!rest.empty()) {
    const std::string_view line = next_line(rest);
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    std::string name(line.substr(0, colon));
    for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    request.headers.push_back(
        {name, std::string(colon == std::string_view::npos ? "" : line.substr(colon + 1))});
  }
  request.body = std::string(rest);

  const Response response = handler(request);
  if (response.status < 200 || response.status > 599) fail("status", request, response);
  if (response.status >= 400) {
    const auto body = nlohmann::json::parse(response.body, nullptr, false);
    if (!body.is_object() || body.size() != 2 || !body["error"].is_string() ||
        !body["status"].is_null())
      fail("error body", request, response);
  }
  bool has_token = false;
  for (const Header &h : request.headers)
    if (h.value.find(kToken) != std::string::npos) has_token = true;
  if (request.target.rfind("/api", 0) == 0 && response.status < 300 && !has_token &&
      request.method != "OPTIONS")
    fail("answered without the token", request, response);
  return 0;
}
