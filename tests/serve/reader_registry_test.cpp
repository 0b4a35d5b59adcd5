// The readers' workers in-process, on emulated readers: calls on one reader
// run one at a time in order, and a watch on one reader holds up neither
// the other reader nor the calls queued for its own.
#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <numeric>

#include "app/tags/inventory_round.h"
#include "tools/serve/reader_registry.h"
#include "tools/serve/reader_routes.h"
#include "tools/serve/request_target.h"

namespace velkor::serve {
namespace {

// Events the registry publishes, and a wait for one (bounded, for a loaded
// machine; it returns as soon as the event is there).
class Events {
 public:
  void add(const app::events::Event &e) {
    std::lock_guard lock(mutex_);
    names_.push_back(e.name + " " + e.document.value("reader", ""));
    changed_.notify_all();
  }
  bool wait_for(const std::string &name, std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
      return std::size_t(std::count(names_.begin(), names_.end(), name)) >= count;
    });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> names_;
};

std::unique_ptr<app::Session> emulated(std::uint64_t seed) {
  app::SessionOptions options;
  options.emulate = seed;
  app::Result<std::unique_ptr<app::Session>> s = app::Session::open(options);
  EXPECT_TRUE(s) << s.error().message();
  return std::move(*s);
}

// A route's answer, waited for when it comes later.
Response answer(const Router &router, const std::string &method, const std::string &path,
                const std::string &body = "") {
  Request request{method, path, {{"content-type", "application/json"}}, body};
  Response response = router.route(request, *parse_target(path));
  if (!response.later) return response;
  auto promise = std::make_shared<std::promise<Response>>();
  std::future<Response> future = promise->get_future();
  response.later([promise](Response late) { promise->set_value(std::move(late)); });
  EXPECT_EQ(future.wait_for(std::chrono::seconds(20)), std::future_status::ready) << path;
  return future.get();
}

struct Served {
  Events events;
  ReaderRegistry readers{[this](const app::events::Event &e) { events.add(e); }};
  Router router;
  std::vector<std::string> ids;

  Served() {
    for (std::uint64_t seed : {1u, 2u}) {
      const app::Status added = readers.add(emulated(seed));
      EXPECT_TRUE(added) << added.error().message();
    }
    const nlohmann::json list = readers.readers();
    for (const auto &r : list["readers"]) ids.push_back(r["id"]);
    add_reader_routes(router, readers);
    add_tag_routes(router, readers);
    add_watch_routes(router, readers, std::nullopt);
  }
};

TEST(ReaderRegistry, EachReaderIsAnnouncedAndAnUnknownOneIsNotFound) {
  Served s;
  ASSERT_EQ(s.ids.size(), 2u);
  EXPECT_NE(s.ids[0], s.ids[1]);
  for (const std::string &id : s.ids) EXPECT_TRUE(s.events.wait_for("plugged " + id, 1));
  const Response none = answer(s.router, "POST", "/api/v1/readers/00000000/inventory");
  EXPECT_EQ(none.status, 404);
  EXPECT_EQ(none.body, R"({"error":"no reader 00000000","status":null})");
}

TEST(ReaderRegistry, CallsOnOneReaderRunOneAtATimeInOrder) {
  Served s;
  std::mutex mutex;
  std::vector<int> order;
  int inside = 0, most_inside = 0;
  std::vector<std::future<Response>> answers;
  for (int i = 0; i < 8; ++i) {
    auto promise = std::make_shared<std::promise<Response>>();
    answers.push_back(promise->get_future());
    s.readers.run(
        s.ids[0],
        [&, i](app::Session &session) {
          {
            std::lock_guard lock(mutex);
            most_inside = std::max(most_inside, ++inside);
            order.push_back(i);
          }
          (void)app::inventory_round(session, app::Mask{});
          std::lock_guard lock(mutex);
          --inside;
          return Response{};
        },
        [promise](Response r) { promise->set_value(std::move(r)); });
  }
  for (auto &a : answers) ASSERT_EQ(a.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_EQ(most_inside, 1);
  std::vector<int> expected(8);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(order, expected);
}

TEST(ReaderRegistry, AWatchHoldsUpNeitherTheOtherReaderNorItsOwnCalls) {
  Served s;
  const std::string watched = "/api/v1/readers/" + s.ids[0];
  const std::string other = "/api/v1/readers/" + s.ids[1];
  EXPECT_EQ(answer(s.router, "POST", watched + "/watch").body, R"({"state":"watching"})");
  ASSERT_TRUE(s.events.wait_for("round " + s.ids[0], 2));
  EXPECT_EQ(answer(s.router, "POST", watched + "/watch").status, 409);

  const Response inventory = answer(s.router, "POST", other + "/inventory");
  EXPECT_EQ(inventory.status, 200);
  EXPECT_EQ(nlohmann::json::parse(inventory.body)["tags"].size(), 6u);
  // The watched reader's own call runs between two of its rounds.
  const Response between = answer(s.router, "POST", watched + "/inventory");
  EXPECT_EQ(between.status, 200) << between.body;
  const nlohmann::json list = nlohmann::json::parse(answer(s.router, "GET", "/api/v1/readers").body);
  EXPECT_EQ(list["readers"][0]["state"], "watching");
  EXPECT_EQ(list["readers"][1]["state"], "idle");

  EXPECT_EQ(answer(s.router, "DELETE", watched + "/watch").body, R"({"state":"idle"})");
  EXPECT_EQ(s.readers.worker(s.ids[0])->state(), ReaderState::kIdle);
}

// A clock for the emulated reader's unplug plan that the test moves.
class HandClock final : public app::Clock {
 public:
  std::int64_t now_ms() override { return ms.load(); }
  app::WallClock::time_point wall() override { return app::WallClock::now(); }
  void sleep_ms(int n) override { ms += n; }
  std::atomic<std::int64_t> ms{0};
};

TEST(ReaderRegistry, AReaderPulledOutIsShownLostAndPluggedWhenBack) {
  HandClock clock;
  Events events;
  ReaderRegistry readers([&events](const app::events::Event &e) { events.add(e); });
  app::SessionOptions options;
  options.emulate = 1;
  options.unplug = app::UnplugPlan{2, 1000};  // gone after two rounds, back 1 s later
  options.clock = &clock;
  app::Result<std::unique_ptr<app::Session>> session = app::Session::open(options);
  ASSERT_TRUE(session);
  ASSERT_TRUE(readers.add(std::move(*session)));
  const nlohmann::json list = readers.readers();
  const std::string id = list["readers"][0]["id"];
  Router router;
  add_watch_routes(router, readers, std::nullopt);

  EXPECT_EQ(answer(router, "POST", "/api/v1/readers/" + id + "/watch").status, 200);
  ASSERT_TRUE(events.wait_for("lost " + id, 1));
  EXPECT_EQ(readers.readers()["readers"][0]["state"], "lost");
  clock.ms += 1000;
  ASSERT_TRUE(events.wait_for("plugged " + id, 2));  // at the start, and now
  EXPECT_EQ(readers.readers()["readers"][0]["state"], "watching");
  EXPECT_EQ(answer(router, "DELETE", "/api/v1/readers/" + id + "/watch").status, 200);
}

// The same reader back under another node: its new session takes the lost
// one's place, and it answers again.
TEST(ReaderRegistry, AReaderBackUnderAnotherNodeTakesItsLostPlace) {
  HandClock clock;  // never moves: the first session's reader stays gone
  Events events;
  ReaderRegistry readers([&events](const app::events::Event &e) { events.add(e); });
  app::SessionOptions options;
  options.emulate = 1;
  options.unplug = app::UnplugPlan{1, 1000};
  options.clock = &clock;
  app::Result<std::unique_ptr<app::Session>> session = app::Session::open(options);
  ASSERT_TRUE(session);
  ASSERT_TRUE(readers.add(std::move(*session)));
  const std::string id = readers.readers()["readers"][0]["id"];
  Router router;
  add_tag_routes(router, readers);
  add_watch_routes(router, readers, std::nullopt);
  const std::string inventory = "/api/v1/readers/" + id + "/inventory";

  EXPECT_EQ(answer(router, "POST", "/api/v1/readers/" + id + "/watch").status, 200);
  ASSERT_TRUE(events.wait_for("lost " + id, 1));  // after its first round
  EXPECT_EQ(answer(router, "DELETE", "/api/v1/readers/" + id + "/watch").status, 200);
  EXPECT_EQ(readers.readers()["readers"][0]["state"], "lost");
  const app::Status back = readers.add(emulated(1));
  ASSERT_TRUE(back) << back.error().message();
  const nlohmann::json list = readers.readers();
  ASSERT_EQ(list["readers"].size(), 1u);
  EXPECT_EQ(list["readers"][0]["state"], "idle");
  EXPECT_EQ(answer(router, "POST", inventory, "{}").status, 200);
  EXPECT_FALSE(readers.add(emulated(1)));  // served, not lost: refused
}

}  // namespace
}  // namespace velkor::serve
