// The event hub on a clock moved by hand: order, resume, overflow, slow
// clients dropped without holding up the rest, keep-alives.
#include "tools/serve/event_hub.h"

#include <gtest/gtest.h>

#include <regex>

#include "tools/serve/event_stream_text.h"

namespace velkor::serve {
namespace {

class HubTest : public ::testing::Test {
 protected:
  std::chrono::steady_clock::time_point now{};
  HubLimits limits{/*history=*/5, /*queue=*/4, std::chrono::milliseconds(15000)};
  EventHub hub{limits, [this] { return now; }};

  // The ids of the events in stream text, in order ("overflow:N" for notices).
  static std::vector<std::string> ids(const std::string &text) {
    std::vector<std::string> found;
    static const std::regex kLine("(?:^|\n)(?:id: (\\d+)|event: overflow\ndata: .*\"dropped\":(\\d+))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kLine);
         it != std::sregex_iterator(); ++it)
      found.push_back((*it)[1].matched ? (*it)[1].str() : "overflow:" + (*it)[2].str());
    return found;
  }
  void publish(int n) {
    for (int i = 0; i < n; ++i) hub.publish("read", "{\"n\":" + std::to_string(i) + "}");
  }
};

TEST_F(HubTest, AClientGetsEveryNewEventInOrderAndIsWokenOncePerBatch) {
  publish(2);  // before it came: not for it
  int wakes = 0;
  auto client = hub.subscribe(std::nullopt, [&] { ++wakes; });
  publish(3);
  EXPECT_EQ(wakes, 1);
  EXPECT_EQ(ids(client->take()), (std::vector<std::string>{"3", "4", "5"}));
  publish(1);
  EXPECT_EQ(wakes, 2);
  EXPECT_EQ(ids(client->take()), (std::vector<std::string>{"6"}));
}

struct Resume {
  std::uint64_t after;
  std::vector<std::string> expected;
};

class HubResume : public HubTest, public ::testing::WithParamInterface<Resume> {};

TEST_P(HubResume, LastEventIdResumesFromTheHistoryOrSaysHowManyAreLost) {
  publish(8);  // the history holds 4 to 8
  auto client = hub.subscribe(GetParam().after, [] {});
  EXPECT_EQ(ids(client->take()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HubResume,
    ::testing::Values(Resume{8, {}}, Resume{6, {"7", "8"}}, Resume{3, {"4", "5", "6", "7", "8"}},
                      Resume{1, {"overflow:2", "4", "5", "6", "7", "8"}},
                      // An id never given (a server restarted since): seen none.
                      Resume{99, {"overflow:3", "4", "5", "6", "7", "8"}}));

TEST_F(HubTest, ASlowClientIsDroppedWhenItsQueueIsFullAndTheOthersGetEverything) {
  int slow_wakes = 0;
  auto slow = hub.subscribe(std::nullopt, [&] { ++slow_wakes; });
  auto quick = hub.subscribe(std::nullopt, [] {});
  std::vector<std::string> got;
  for (int i = 0; i < 10; ++i) {
    publish(1);
    for (const std::string &id : ids(quick->take())) got.push_back(id);
  }
  EXPECT_EQ(got.size(), 10u);
  EXPECT_EQ(got.back(), "10");
  EXPECT_TRUE(slow->dropped());
  EXPECT_FALSE(quick->dropped());
  EXPECT_EQ(slow_wakes, 2);  // its first event, then its drop
  EXPECT_EQ(slow->take(), "");
  // Back with the last id it saw (4 were queued), it learns what it lost.
  auto back = hub.subscribe(0, [] {});
  EXPECT_EQ(ids(back->take()).front(), "overflow:5");
}

TEST_F(HubTest, AClientResumingFurtherBehindThanItsQueueIsNotDroppedForIt) {
  publish(8);
  auto client = hub.subscribe(3, [] {});  // five events back, its queue holds four
  publish(1);
  EXPECT_FALSE(client->dropped());
  EXPECT_EQ(ids(client->take()), (std::vector<std::string>{"4", "5", "6", "7", "8", "9"}));
}

TEST(Hub, TheHistoryKeepsWithinItsBytes) {
  EventHub hub(HubLimits{100, 4, std::chrono::milliseconds(15000), 3 * 100},
               [] { return std::chrono::steady_clock::time_point{}; });
  for (int i = 0; i < 10; ++i) hub.publish("read", std::string(80, 'x'));  // ~100 bytes each
  auto client = hub.subscribe(0, [] {});
  EXPECT_EQ(client->take().rfind("event: overflow\ndata: {\"type\":\"overflow\",\"dropped\":8}", 0),
            0u);
}

TEST_F(HubTest, KeepAlivesComeEveryFifteenSecondsOfTheClock) {
  auto client = hub.subscribe(std::nullopt, [] {});
  now += std::chrono::milliseconds(14999);
  hub.keep_alive();
  EXPECT_EQ(client->take(), "");
  now += std::chrono::milliseconds(1);
  EXPECT_EQ(hub.keep_alive(), now + std::chrono::seconds(15));
  EXPECT_EQ(client->take(), keep_alive_text());
}

TEST_F(HubTest, AClosedClientIsForgottenAndNeverWoken) {
  int wakes = 0;
  auto client = hub.subscribe(std::nullopt, [&] { ++wakes; });
  EXPECT_EQ(hub.clients(), 1u);
  client->close();
  publish(1);
  EXPECT_EQ(hub.clients(), 0u);
  EXPECT_EQ(wakes, 0);
}

TEST(EventText, NoLineInTheDataCanEndTheEventEarly) {
  EXPECT_EQ(event_text(7, "re\nad", "a\r\nb\rc\nd"),
            "id: 7\nevent: re ad\ndata: a\ndata: b\ndata: c\ndata: d\n\n");
}

TEST(EventText, OnlyADecimalNumberIsAnEventId) {
  EXPECT_EQ(parse_event_id("42"), 42u);
  for (const char *bad : {"", "-1", "4 2", "0x10", "99999999999999999999"})
    EXPECT_FALSE(parse_event_id(bad)) << bad;
}

}  // namespace
}  // namespace velkor::serve
