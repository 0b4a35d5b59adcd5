#include <algorithm>

#include "app/events/watch_event_feed.h"
#include "app/mqtt/watch_publisher.h"
#include "tools/serve/api_error.h"
#include "tools/serve/hex_value.h"
#include "tools/serve/json_body.h"
#include "tools/serve/reader_routes.h"

namespace velkor::serve {

namespace {

// A watch started over HTTP pauses this long between rounds: a reader's
// round takes about as long, and the stream's clients (a browser among
// them) are spared thousands of events a second from an emulated reader.
constexpr std::chrono::milliseconds kPauseBetweenRounds{100};

// A watch served: its events, each with the reader's id in front, to the
// stream; the reader lost and back to the registry; and, when configured,
// everything to the MQTT publisher too.
class ServedWatch final : public app::events::WatchEventFeed {
 public:
  ServedWatch(ReaderRegistry &readers, ReaderWorker &worker, bool tid, bool decode,
              const std::function<void(int)> &idle, app::mqtt::WatchPublisher *mqtt)
      : WatchEventFeed([&readers, &worker](const app::events::Event &e) {
                         app::events::Json doc = {{"reader", worker.id()}};
                         for (const auto &[key, value] : e.document.items()) doc[key] = value;
                         readers.publish({e.name, doc});
                       },
                       tid, decode),
        readers_(readers), worker_(worker), idle_(idle), mqtt_(mqtt) {}

  void on_round(const app::Round &round, unsigned number, const app::TagTable &table) override {
    WatchEventFeed::on_round(round, number, table);
    if (mqtt_) mqtt_->on_round(round, number, table);
  }
  void on_reader_lost(unsigned rounds, const app::Error &why) override {
    WatchEventFeed::on_reader_lost(rounds, why);
    if (mqtt_) mqtt_->on_reader_lost(rounds, why);
    readers_.set_lost(worker_, true);
  }
  void on_reader_back(std::int64_t away_ms) override {
    WatchEventFeed::on_reader_back(away_ms);
    if (mqtt_) mqtt_->on_reader_back(away_ms);
    readers_.set_lost(worker_, false);
  }
  // The worker's queued calls run in the waits; the publisher's network in
  // slices between them.
  void idle(int ms, app::Clock &clock) override {
    if (!mqtt_) return idle_(ms);
    do {
      const int slice = std::min(ms, 50);
      idle_(0);
      mqtt_->idle(slice, clock);
      ms -= slice;
    } while (ms > 0);
  }

 private:
  ReaderRegistry &readers_;
  ReaderWorker &worker_;
  std::function<void(int)> idle_;
  app::mqtt::WatchPublisher *mqtt_;
};

}  // namespace

void add_watch_routes(Router &router, ReaderRegistry &readers,
                      std::optional<app::mqtt::Settings> mqtt) {
  router.add("POST", "/api/v1/readers/{id}/watch", [&readers, mqtt](const RouteCall &call) {
    const nlohmann::json body = optional_object_body(call.request);
    only_fields(body, {"mask", "tid", "decode"});
    app::WatchOptions options;
    if (const auto hex = string_field(body, "mask"))
      options.mask.bytes = hex_value(*hex, "mask", 0, 62);
    options.tid = bool_field(body, "tid").value_or(false);
    options.pacing.interval = kPauseBetweenRounds;
    const bool decode = bool_field(body, "decode").value_or(false);
    const std::string id = call.params.at("id");
    const std::shared_ptr<ReaderWorker> worker = readers.worker(id);
    if (!worker) return no_reader(id);
    if (worker->state() == ReaderState::kLost)
      throw ApiError(Refusal::kUnavailable, "reader " + id + " is lost");
    Response response;
    // Answered once the watch runs (its publisher connected, when there is one).
    response.later = [&readers, worker, options, decode, mqtt](Completion done) {
      auto stop = std::make_shared<app::StopSource>();
      ReaderWorker *w = worker.get();
      const auto job = [&readers, w, options, decode, mqtt, stop, done](
                           app::Session &s, const std::function<void(int)> &idle) {
        std::unique_ptr<app::mqtt::WatchPublisher> publisher;
        if (mqtt) {
          auto started = app::mqtt::WatchPublisher::start(s, *mqtt, decode, options.tid,
                                                          [](const std::string &) {});
          if (!started) return done(error_response(api_error(started.error())));
          publisher = std::move(*started);
        }
        done(json_response({{"state", "watching"}}));
        ServedWatch observer(readers, *w, options.tid, decode, idle, publisher.get());
        (void)app::Watch(s, options, observer).run(stop->token());
        if (publisher) publisher->finish();
      };
      if (!w->start_job(ReaderState::kWatching, stop, job))
        done(error_response(Refusal::kConflict,
                            "reader " + w->id() + " is busy: " + state_name(w->state())));
    };
    return response;
  });
  router.add("DELETE", "/api/v1/readers/{id}/watch", [&readers](const RouteCall &call) {
    const std::string id = call.params.at("id");
    const std::shared_ptr<ReaderWorker> worker = readers.worker(id);
    if (!worker) return no_reader(id);
    if (worker->state() == ReaderState::kCommissioning)
      throw ApiError(Refusal::kConflict, "reader " + id + " is commissioning, not watching");
    Response response;
    response.later = [worker](Completion done) {
      worker->stop_job([done] { done(json_response({{"state", "idle"}})); });
    };
    return response;
  });
}

}  // namespace velkor::serve
