// The publisher's delivery rules on a scripted broker link and a virtual
// clock: order, resending after a lost connection, backoff, status, events,
// a full outbox.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/mqtt/publisher.h"
#include "tests/mqtt/fake_broker_link.h"

namespace velkor::test {
namespace {

using nlohmann::json;
using app::mqtt::Publisher;

class PublisherTest : public ::testing::Test {
 protected:
  std::unique_ptr<Publisher> make(app::mqtt::Settings s = {}, std::size_t limit = 1 << 20) {
    s.reader = "0A1B2C3D";
    s.url = "mqtt://127.0.0.1";
    s.outbox_limit = limit;
    auto link_owner = std::make_unique<FakeLink>(clock_);
    link_ = link_owner.get();
    link_->auto_ack = auto_ack_;
    link_->refuse = refuse_;
    link_->permanent = permanent_;
    return std::make_unique<Publisher>(s, app::mqtt::BrokerUrl{"127.0.0.1", 1883, false},
                                       std::move(link_owner),
                                       std::make_unique<app::mqtt::MemoryOutbox>(limit), clock_,
                                       [this](const std::string &n) { notices_.push_back(n); });
  }
  void read(Publisher &p, const std::string &epc, unsigned round = 1) {
    p.publish_read({epc, 1, round, clock_.wall(), ""});
  }
  std::vector<std::uint64_t> seqs(const std::string &suffix) const {
    std::vector<std::uint64_t> out;
    for (const Sent &s : link_->on(suffix)) out.push_back(json::parse(s.payload).at("seq"));
    return out;
  }
  bool noticed(const std::string &text) const {
    for (const std::string &n : notices_)
      if (n.find(text) != std::string::npos) return true;
    return false;
  }

  VirtualClock clock_;
  FakeLink *link_ = nullptr;
  bool auto_ack_ = true;
  std::string refuse_;
  bool permanent_ = false;
  std::vector<std::string> notices_;
};

TEST_F(PublisherTest, ReadsGoInOrderWithTheirFieldsAndArrivalsAreEvents) {
  auto p = make();
  p->service(0);
  read(*p, "E2001111", 1);
  read(*p, "E2002222", 1);
  read(*p, "E2001111", 2);
  p->service(0);
  EXPECT_EQ(seqs("/reads"), (std::vector<std::uint64_t>{1, 2, 3}));
  const json first = json::parse(link_->on("/reads")[0].payload);
  EXPECT_EQ(first, (json{{"reader", "0A1B2C3D"}, {"seq", 1}, {"epc", "E2001111"}, {"antenna", 1},
                         {"round", 1}, {"time", "2023-11-14T22:13:20.000Z"}}));
  ASSERT_EQ(link_->on("/events").size(), 2u);
  EXPECT_EQ(json::parse(link_->on("/events")[1].payload).at("event"), "arrive");
  EXPECT_EQ(link_->sent.front().topic, "velkor/0A1B2C3D/status");
  EXPECT_TRUE(link_->sent.front().retain);
  EXPECT_EQ(link_->request.will_topic, "velkor/0A1B2C3D/status");
  EXPECT_EQ(json::parse(link_->request.will_payload).at("state"), "offline");
  EXPECT_EQ(p->waiting(), 0u);
}

TEST_F(PublisherTest, ALostConnectionResendsFromTheOldestUnacknowledgedInOrder) {
  auto_ack_ = false;
  auto p = make();
  p->service(0);
  for (int i = 0; i < 5; ++i) read(*p, "E2001111");
  const auto reads = link_->on("/reads");
  link_->ack(link_->on("/events")[0].mid);
  link_->ack(reads[0].mid);
  link_->ack(reads[1].mid);
  link_->ack(reads[3].mid);  // the broker's acknowledgement of 3 never came
  p->service(0);
  link_->drop();
  p->service(0);
  read(*p, "E2001111");
  read(*p, "E2001111");
  EXPECT_EQ(seqs("/reads").size(), 5u);  // nothing sent while away
  link_->refuse.clear();
  clock_.ms += 600;
  p->service(0);
  p->service(0);
  EXPECT_EQ(seqs("/reads"), (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 3, 4, 5, 6, 7}));
  EXPECT_TRUE(noticed("connection lost; keeping messages in memory"));
  EXPECT_TRUE(noticed("again; sending the 5 waiting messages first"));
}

TEST_F(PublisherTest, RetriesBackOffToThirtySecondsAndStartOverAfterSuccess) {
  refuse_ = "Connection refused";
  auto p = make();
  while (clock_.ms < 70'000) p->service(100);
  std::vector<std::int64_t> gaps;
  for (std::size_t i = 1; i < link_->attempts.size(); ++i)
    gaps.push_back(link_->attempts[i] - link_->attempts[i - 1]);
  EXPECT_EQ(gaps, (std::vector<std::int64_t>{500, 1000, 2000, 4000, 8000, 16000, 30000}));
  EXPECT_EQ(notices_.size(), 1u);  // one outage, one notice
  link_->refuse.clear();
  while (!p->connected()) p->service(100);
  link_->drop();
  const std::int64_t lost_at = clock_.ms;
  while (link_->attempts.back() <= lost_at) p->service(100);
  EXPECT_EQ(link_->attempts.back() - lost_at, 500);
}

TEST_F(PublisherTest, OnlyARefusalThatRetryingCannotMendFailsTheStart) {
  for (const bool permanent : {true, false}) {
    refuse_ = permanent ? "the broker refused the connection: not authorised" : "refused";
    permanent_ = permanent;
    auto p = make();
    std::string error;
    EXPECT_EQ(p->await_first_connection(1000, &error), !permanent) << error;
    EXPECT_EQ(error, permanent ? refuse_ : "");
  }
}

TEST_F(PublisherTest, TheRetainedStatusFollowsTheReaderAndEndsOffline) {
  auto p = make();
  p->service(0);
  p->set_reader_lost(true);
  p->set_reader_lost(true);  // no change, no message
  p->set_reader_lost(false);
  p->finish(100);
  std::vector<std::string> states;
  for (const Sent &s : link_->on("/status")) {
    EXPECT_TRUE(s.retain);
    states.push_back(json::parse(s.payload).at("state"));
  }
  EXPECT_EQ(states, (std::vector<std::string>{"online", "reader-lost", "online", "offline"}));
  EXPECT_FALSE(link_->up);  // disconnected, so the broker sends no will
}

TEST_F(PublisherTest, ATagDepartsOnceUnreadForItsTime) {
  app::mqtt::Settings s;
  s.depart_after_ms = 1000;
  auto p = make(s);
  p->service(0);
  read(*p, "E2001111");
  read(*p, "E2002222");
  clock_.ms += 600;
  read(*p, "E2002222");
  clock_.ms += 500;
  p->end_round();  // 1111 unread for 1100 ms, 2222 for 500
  clock_.ms += 400;
  p->end_round();
  std::vector<std::string> events;
  for (const Sent &e : link_->on("/events")) {
    const json j = json::parse(e.payload);
    events.push_back(j.at("event").get<std::string>() + " " + j.at("epc").get<std::string>());
  }
  EXPECT_EQ(events, (std::vector<std::string>{"arrive E2001111", "arrive E2002222",
                                              "depart E2001111"}));
  EXPECT_EQ(seqs("/events"), (std::vector<std::uint64_t>{1, 2, 3}));
}

TEST_F(PublisherTest, FinishingKeepsWhatTheBrokerDidNotAcknowledge) {
  auto_ack_ = false;
  auto p = make();
  p->service(0);
  for (int i = 0; i < 3; ++i) read(*p, "E200000" + std::to_string(i));
  const std::int64_t start = clock_.ms;
  EXPECT_EQ(p->finish(500), 6u);  // three reads, three arrivals
  EXPECT_LE(clock_.ms - start, 500 + 1000 + 100);
}

TEST_F(PublisherTest, AFullOutboxDropsTheOldestAndSaysHowMany) {
  refuse_ = "refused";
  auto p = make({}, 2000);
  p->service(0);
  for (int i = 0; i < 40; ++i) read(*p, "E2001111");  // one tag: one arrival
  EXPECT_TRUE(noticed("the outbox is full (2000 bytes): dropped the oldest 1 messages"));
  EXPECT_EQ(notices_.size(), 2u);  // the outage, the first drop; the rest when back
  link_->refuse.clear();
  while (!p->connected()) p->service(100);
  p->service(0);
  const std::vector<std::uint64_t> sent = seqs("/reads");
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), 40u);
  for (std::size_t i = 1; i < sent.size(); ++i) EXPECT_EQ(sent[i], sent[i - 1] + 1);
  EXPECT_LT(sent.size(), 40u);
  const std::size_t dropped = 41 - sent.size() - link_->on("/events").size();
  EXPECT_TRUE(noticed("dropped " + std::to_string(dropped - 1) + " more of the oldest messages (" +
                      std::to_string(dropped) + " so far)"));
}

}  // namespace
}  // namespace velkor::test
