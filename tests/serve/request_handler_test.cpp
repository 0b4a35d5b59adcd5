// The request handler without sockets: the access table, the console's
// files, the routes' refusals and the EPC endpoints.
#include "tools/serve/request_handler.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace velkor::serve {
namespace {

const std::string kToken = "0123456789abcdef0123456789abcdef";
const std::string kHost = "127.0.0.1:8780";

RequestHandler handler(bool loopback = true, std::vector<std::string> origins = {}) {
  return RequestHandler(AccessPolicy(AccessSettings{
      kToken, loopback ? "127.0.0.1" : "192.0.2.7", 8780, loopback, false, std::move(origins)}));
}

Request request(std::string method, std::string target, std::vector<Header> extra = {},
                std::string body = "") {
  Request r{std::move(method), std::move(target), {{"host", kHost}}, std::move(body)};
  for (Header &h : extra) {
    auto same = std::find_if(r.headers.begin(), r.headers.end(),
                             [&](const Header &o) { return o.name == h.name; });
    if (same != r.headers.end())
      *same = h;
    else
      r.headers.push_back(h);
  }
  return r;
}

const Header kBearer{"authorization", "Bearer " + kToken};
const Header kJson{"content-type", "application/json"};

std::optional<std::string> header_of(const Response &r, const std::string &name) {
  for (const Header &h : r.headers)
    if (h.name == name) return h.value;
  return std::nullopt;
}

struct Case {
  const char *what;
  Request request;
  int status;
};

class Access : public ::testing::TestWithParam<Case> {};

TEST_P(Access, AnswersWithTheRightStatusAndJsonErrors) {
  const Response r = handler()(GetParam().request);
  EXPECT_EQ(r.status, GetParam().status) << r.body;
  if (r.status >= 400) {
    const auto body = nlohmann::json::parse(r.body);
    EXPECT_TRUE(body["error"].is_string());
    EXPECT_TRUE(body["status"].is_null());
  }
}

const std::string kDecode = "/api/v1/epc/3074257BF7194E4000001A85";

INSTANTIATE_TEST_SUITE_P(
    Table, Access,
    ::testing::Values(
        Case{"no token", request("GET", kDecode), 401},
        Case{"a wrong token", request("GET", kDecode, {{"authorization", "Bearer x" + kToken}}),
             401},
        Case{"a token one short", request("GET", kDecode, {{"authorization",
                                                            "Bearer " + kToken.substr(1)}}),
             401},
        Case{"another scheme", request("GET", kDecode, {{"authorization", "Basic " + kToken}}),
             401},
        Case{"the token", request("GET", kDecode, {kBearer}), 200},
        Case{"the console's cookie",
             request("GET", kDecode, {{"cookie", "a=b; velkor_token_8780=" + kToken}}), 200},
        Case{"another port's cookie", request("GET", kDecode, {{"cookie", "velkor_token_8781=" +
                                                                              kToken}}),
             401},
        Case{"the token in the query", request("GET", kDecode + "?token=" + kToken), 401},
        Case{"a rebinding Host", request("GET", kDecode, {kBearer, {"host",
                                                                    "attacker.example:8780"}}),
             403},
        Case{"a Host without the port", request("GET", "/", {{"host", "localhost"}}), 403},
        Case{"no Host", Request{"GET", "/", {}, ""}, 403},
        Case{"localhost", request("GET", "/", {{"host", "LocalHost:8780"}}), 200},
        Case{"a cross-origin POST",
             request("POST", "/api/v1/epc/encode", {kBearer, kJson, {"origin",
                                                                     "http://evil.example"}},
                     "{}"),
             403},
        Case{"a cross-origin PUT", request("PUT", "/api/v1/x", {kBearer, {"origin", "null"}}),
             403},
        Case{"a cross-origin PATCH",
             request("PATCH", "/api/v1/x", {kBearer, {"origin", "http://127.0.0.1:9999"}}), 403},
        Case{"a cross-origin DELETE",
             request("DELETE", "/api/v1/x", {kBearer, {"origin", "http://localhost"}}), 403},
        Case{"a cross-origin GET is only a read", request("GET", kDecode, {kBearer, {"origin",
                                                                                    "http://x"}}),
             200},
        Case{"the server's own origin",
             request("POST", "/api/v1/epc/encode",
                     {kBearer, kJson, {"origin", "http://localhost:8780"}},
                     R"({"uri":"urn:epc:tag:sgtin-96:3.0614141.812345.6789"})"),
             200},
        Case{"an unknown API path", request("GET", "/api/v2/readers", {kBearer}), 404},
        Case{"an unknown console path", request("GET", "/nothing.html"), 404},
        Case{"a path climbing out", request("GET", "/../tools/serve/openapi.json"), 404},
        Case{"an encoded climb", request("GET", "/views/%2e%2e/%2e%2e/openapi.json"), 404},
        Case{"an encoded slash", request("GET", "/views%2flogin.js"), 404},
        Case{"an encoded backslash", request("GET", "/views%5c..%5c..%5capp.js"), 404},
        Case{"a NUL", request("GET", "/index.html%00.js"), 400},
        Case{"a bad escape", request("GET", "/%zz"), 400},
        Case{"an absolute target", request("GET", "http://127.0.0.1:8780/"), 400},
        Case{"a write to the console", request("POST", "/index.html", {kJson}), 405},
        Case{"the wrong method", request("DELETE", kDecode, {kBearer}), 405},
        Case{"malformed JSON", request("POST", "/api/v1/epc/encode", {kBearer, kJson}, "{\"uri\":"),
             400},
        Case{"JSON that is no object", request("POST", "/api/v1/epc/encode", {kBearer, kJson},
                                               "[]"),
             400},
        Case{"JSON nested too deep", request("POST", "/api/v1/epc/encode", {kBearer, kJson},
                                             std::string(40, '[') + std::string(40, ']')),
             400},
        Case{"a body not declared JSON",
             request("POST", "/api/v1/epc/encode", {kBearer, {"content-type", "text/plain"}},
                     "{}"),
             415},
        Case{"an unknown field", request("POST", "/api/v1/epc/encode", {kBearer, kJson},
                                         R"({"gtim":"1"})"),
             400},
        Case{"a field of the wrong type", request("POST", "/api/v1/epc/encode", {kBearer, kJson},
                                                  R"({"uri":5})"),
             400},
        Case{"a number out of range",
             request("POST", "/api/v1/epc/encode", {kBearer, kJson},
                     R"({"gtin":"80614141123458","prefix_length":18446744073709551615})"),
             400},
        Case{"an EPC of odd length", request("GET", "/api/v1/epc/307", {kBearer}), 400},
        Case{"an EPC of no scheme", request("GET", "/api/v1/epc/FF00", {kBearer}), 400},
        Case{"a bad Last-Event-ID",
             request("GET", "/api/v1/events", {kBearer, {"last-event-id", "x"}}), 400}),
    [](const auto &info) {
      std::string name = info.param.what;
      for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(Login, TheTokenInTheAddressBecomesAStrictHttpOnlyCookieAndLeavesTheAddress) {
  const Response r = handler()(request("GET", "/?token=" + kToken));
  EXPECT_EQ(r.status, 303);
  EXPECT_EQ(header_of(r, "location"), "/");
  const std::string cookie = header_of(r, "set-cookie").value_or("");
  EXPECT_EQ(cookie.rfind("velkor_token_8780=" + kToken + ";", 0), 0u) << cookie;
  EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
  EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
  EXPECT_EQ(handler()(request("GET", "/?token=wrong")).status, 401);
}

TEST(Origins, AnAllowedOriginMayChangeThingsAndGetsCorsHeaders) {
  const RequestHandler h = handler(true, {"https://dash.example:8443"});
  const Header origin{"origin", "https://dash.example:8443"};
  const Response r = h(request("POST", "/api/v1/epc/encode", {kBearer, kJson, origin},
                               R"({"uri":"urn:epc:tag:sgtin-96:3.0614141.812345.6789"})"));
  EXPECT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(header_of(r, "access-control-allow-origin"), "https://dash.example:8443");
  const Response preflight = h(request(
      "OPTIONS", "/api/v1/epc/encode", {origin, {"access-control-request-method", "POST"}}));
  EXPECT_EQ(preflight.status, 204);
  EXPECT_EQ(h(request("OPTIONS", "/api/v1/epc/encode",
                      {{"origin", "https://other.example"},
                       {"access-control-request-method", "POST"}}))
                .status,
            403);
}

TEST(Origins, OffLoopbackTheHostNamesTheServerAndItsOwnOrigin) {
  const RequestHandler h = handler(false);
  const auto post = [&](const std::string &host, const std::string &origin) {
    return h(request("POST", "/api/v1/epc/encode",
                     {kBearer, kJson, {"host", host}, {"origin", origin}},
                     R"({"uri":"urn:epc:tag:sgtin-96:3.0614141.812345.6789"})"))
        .status;
  };
  EXPECT_EQ(post("reader-pi.lan:8780", "http://reader-pi.lan:8780"), 200);
  EXPECT_EQ(post("reader-pi.lan:8780", "http://evil.example"), 403);
}

TEST(Origins, AnAnswerThatComesLaterCarriesTheSameHeaders) {
  const std::string allowed = "https://dashboard.example:8443";
  RequestHandler h(AccessPolicy(AccessSettings{kToken, "127.0.0.1", 8780, true, false, {allowed}}),
                   [](Router &router) {
                     router.add("POST", "/api/v1/later", [](const RouteCall &) {
                       Response r;
                       r.later = [](Completion done) {
                         Response created;
                         created.status = 201;
                         done(created);
                       };
                       return r;
                     });
                   });
  const Response first =
      h(request("POST", "/api/v1/later", {kBearer, kJson, {"origin", allowed}}, "{}"));
  ASSERT_TRUE(first.later);
  std::optional<Response> late;
  first.later([&late](Response r) { late = std::move(r); });
  ASSERT_TRUE(late);
  EXPECT_EQ(late->status, 201);
  const auto has = [&](const char *name, const std::string &value) {
    return std::any_of(late->headers.begin(), late->headers.end(),
                       [&](const Header &x) { return x.name == name && x.value == value; });
  };
  EXPECT_TRUE(has("cache-control", "no-store"));
  EXPECT_TRUE(has("access-control-allow-origin", allowed));
}

TEST(Hosts, OnIpv6LoopbackTheBracketedAddressAndLocalhostAreTheServers) {
  const RequestHandler h(AccessPolicy(AccessSettings{kToken, "::1", 8780, true, false, {}}));
  const auto status = [&](const std::string &host) {
    return h(request("GET", "/", {{"host", host}})).status;
  };
  EXPECT_EQ(status("[::1]:8780"), 200);
  EXPECT_EQ(status("localhost:8780"), 200);
  EXPECT_EQ(status("127.0.0.1:8780"), 403);
  EXPECT_EQ(status("[::1]"), 403);
}

TEST(Console, FilesComeWithTheirTypesAndTheRootIsTheIndex) {
  const RequestHandler h = handler();
  const Response index = h(request("GET", "/"));
  EXPECT_EQ(index.content_type, "text/html; charset=utf-8");
  EXPECT_NE(index.body.find("<script type=\"module\" src=\"/app.js\">"), std::string::npos);
  EXPECT_EQ(h(request("GET", "/app.js")).content_type, "text/javascript; charset=utf-8");
  EXPECT_EQ(h(request("GET", "/views/login.js")).content_type,
            "text/javascript; charset=utf-8");
  EXPECT_EQ(h(request("GET", "/style.css")).content_type, "text/css; charset=utf-8");
}

TEST(Events, TheStreamStartsAfterTheLastEventIdGiven) {
  const RequestHandler h = handler();
  const Response fresh = h(request("GET", "/api/v1/events", {kBearer}));
  ASSERT_TRUE(fresh.stream);
  EXPECT_FALSE(fresh.stream->after);
  const Response resumed = h(request("GET", "/api/v1/events", {kBearer, {"last-event-id", "41"}}));
  ASSERT_TRUE(resumed.stream);
  EXPECT_EQ(resumed.stream->after, 41u);
}

struct Encoding {
  const char *body;
  const char *expected;  // the EPC, or a piece of the error's words
};

class Encode : public ::testing::TestWithParam<Encoding> {};

TEST_P(Encode, GivesTheEpcOrTheCodecsWords) {
  const Response r =
      handler()(request("POST", "/api/v1/epc/encode", {kBearer, kJson}, GetParam().body));
  const auto body = nlohmann::json::parse(r.body);
  if (r.status == 200)
    EXPECT_EQ(body["epc"], GetParam().expected);
  else
    EXPECT_NE(body["error"].get<std::string>().find(GetParam().expected), std::string::npos)
        << body;
}

INSTANTIATE_TEST_SUITE_P(
    Codec, Encode,
    ::testing::Values(
        Encoding{R"({"uri":"urn:epc:tag:sgtin-96:3.0614141.812345.6789"})",
                 "3074257BF7194E4000001A85"},
        Encoding{R"({"gtin":"80614141123458","prefix_length":7,"serial":"6789","filter":3})",
                 "3074257BF7194E4000001A85"},
        Encoding{R"({"gtin":"80614141123459","prefix_length":7,"serial":"1"})", "check digit"},
        Encoding{R"({"gtin":"80614141123458","serial":"1"})", "needs prefix_length"},
        Encoding{R"({"gtin":"80614141123458","sscc":"1","prefix_length":7})", "one GS1 key"},
        Encoding{R"({})", "give a URI or one GS1 key (gtin, sscc, ...)"}));

}  // namespace
}  // namespace velkor::serve
