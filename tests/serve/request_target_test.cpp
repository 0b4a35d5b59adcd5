// Request targets and --listen addresses taken apart, and the token's file
// and comparison.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tools/serve/access_token.h"
#include "tools/serve/listen_address.h"
#include "tools/serve/request_target.h"

namespace velkor::serve {
namespace {

TEST(Target, SegmentsAndQueryArePercentDecoded) {
  const auto t = parse_target("/api/v1/tags/30%20A/user?address=2&words=4&x=a+b%21&&flag");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->segments, (std::vector<std::string>{"api", "v1", "tags", "30 A", "user"}));
  EXPECT_EQ(t->query, (std::map<std::string, std::string>{
                          {"address", "2"}, {"words", "4"}, {"x", "a b!"}, {"flag", ""}}));
  EXPECT_EQ(parse_target("/")->segments, std::vector<std::string>{});
  EXPECT_EQ(parse_target("/a/")->segments, (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(parse_target("/a%2Fb")->segments, std::vector<std::string>{"a/b"});
}

TEST(Target, WhatNoRouteShouldSeeIsRefused) {
  for (const char *bad : {"", "x", "*", "/%", "/%4", "/%g0", "/a%00",
                          "/a%0A", "/a#f", "/?q=%0D", "/?q=%"})
    EXPECT_FALSE(parse_target(bad)) << bad;
}

TEST(Listen, HostAndPortAsPeopleWriteThem) {
  std::string error;
  const auto v4 = parse_listen_address("0.0.0.0:8443", &error);
  ASSERT_TRUE(v4);
  EXPECT_EQ(v4->host, "0.0.0.0");
  EXPECT_EQ(v4->port, 8443);
  EXPECT_EQ(parse_listen_address("[::1]:0", &error)->host, "::1");
  for (const char *bad : {"8780", "::1:8780", ":8780", "localhost:", "localhost:65536",
                          "localhost:80a"}) {
    EXPECT_FALSE(parse_listen_address(bad, &error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
  EXPECT_TRUE(is_origin("https://dash.example:8443"));
  for (const char *bad : {"dash.example", "https://", "https://a/b", "ftp://a", "http://a@b"})
    EXPECT_FALSE(is_origin(bad)) << bad;
}

TEST(Token, MadeFreshEachTimeFromSixtyFourHexDigits) {
  const std::string a = make_token(), b = make_token();
  EXPECT_EQ(a.size(), 64u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
}

TEST(Token, ComparedWholly) {
  EXPECT_TRUE(same_token("abcdefghijklmnop", "abcdefghijklmnop"));
  for (const char *other : {"", "abcdefghijklmno", "abcdefghijklmnopq", "abcdefghijklmnoq",
                            "Abcdefghijklmnop"})
    EXPECT_FALSE(same_token("abcdefghijklmnop", other)) << other;
}

TEST(Token, AFileGivesItsTrimmedTokenAndNothingElseWill) {
  const std::string dir = ::testing::TempDir() + "velkor-token-" + std::to_string(::getpid());
  ::mkdir(dir.c_str(), 0700);
  const auto file = [&](const std::string &name, const std::string &text) {
    std::ofstream(dir + "/" + name) << text;
    return dir + "/" + name;
  };
  EXPECT_EQ(read_token_file(file("good", "  s3cret-token-of-20\n")), "s3cret-token-of-20");
  const std::string fifo = dir + "/fifo";
  ::mkfifo(fifo.c_str(), 0600);
  for (const std::string &bad :
       {file("short", "tooshort\n"), file("space", "a token with spaces in it"),
        file("cookie", "0123456789abcdef;x"), file("big", std::string(5000, 'a')), fifo,
        dir + "/missing", dir})
    EXPECT_THROW(read_token_file(bad), std::runtime_error) << bad;
}

}  // namespace
}  // namespace velkor::serve
