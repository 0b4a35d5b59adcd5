// The C API's stop handles and watch.
#include "app/c_api/convert.h"
#include "app/c_api/job_callbacks.h"
#include "app/events/presence_events.h"
#include "app/events/read_event.h"
#include "app/events/watch_events.h"
#include "app/tags/epc_text.h"
#include "app/watch/watch.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

namespace {

// The watch's events as documents, to the caller's callbacks.
class CallbackWatch final : public WatchObserver {
 public:
  CallbackWatch(const JobCallbacks &callbacks, bool tid, bool decode)
      : callbacks_(callbacks), tid_(tid), decode_(decode) {}

  void on_round(const Round &round, unsigned number, const TagTable &table) override {
    for (const TagRead &read : round.tags) {
      events::ReadEvent e{read, tid_, decode_, std::nullopt};
      if (decode_) e.uri = tag_uri_of(read.epc);
      callbacks_.send({"read", events::to_json(e)});
    }
    callbacks_.send(events::round_event(number, round.tags.size(), table.entries().size(),
                                        round.time));
  }
  void on_arrive(const TagTable::Entry &tag) override {
    callbacks_.send(events::presence_event("arrive", to_hex(tag.epc), tag.antenna, tag.last));
  }
  void on_depart(const TagTable::Entry &tag, WallClock::time_point time) override {
    callbacks_.send(events::presence_event("depart", to_hex(tag.epc), tag.antenna, time));
  }
  void on_round_failed(unsigned number, const Error &why) override {
    callbacks_.send(events::round_failed_event(number, why));
  }
  void on_reader_lost(unsigned rounds, const Error &why) override {
    callbacks_.send(events::reader_lost_event(rounds, why));
  }
  void on_reader_back(std::int64_t away_ms) override {
    callbacks_.send(events::reader_back_event(away_ms));
  }
  void idle(int ms, Clock &clock) override { callbacks_.idle(ms, clock); }

 private:
  const JobCallbacks &callbacks_;
  bool tid_, decode_;
};

}  // namespace

extern "C" {

velkor_app_stop *velkor_app_stop_new(void) { return new (std::nothrow) velkor_app_stop; }

void velkor_app_stop_request(velkor_app_stop *stop) {
  if (stop) stop->source.request_stop();
}

void velkor_app_stop_free(velkor_app_stop *stop) { delete stop; }

int velkor_app_watch(velkor_app_session *s, const velkor_app_watch_options *options,
                     const velkor_app_callbacks *callbacks, velkor_app_stop *stop,
                     velkor_app_watch_summary *summary, velkor_app_error *error) {
  if (!s) return bad_argument("watch", "no session", error);
  return guarded(error, "watch", [&] {
    const velkor_app_watch_options none{};
    const velkor_app_watch_options &o = options ? *options : none;
    WatchOptions w;
    w.mask = mask_of(&o.mask);
    w.tid = o.tid != 0;
    w.pacing = {o.rounds, std::chrono::milliseconds(std::max<long long>(o.duration_ms, 0)),
                std::chrono::milliseconds(std::max(o.interval_ms, 0))};
    if (o.depart_after_ms > 0) w.depart_after_ms = o.depart_after_ms;
    const JobCallbacks job(callbacks);
    CallbackWatch observer(job, w.tid, o.decode != 0);
    Watch watch(*s->session, w, observer);
    const Result<WatchSummary> done = watch.run(stop ? stop->source.token() : StopToken{});
    if (!done) return fail(done.error(), error);
    if (summary)
      *summary = velkor_app_watch_summary{done->rounds, done->failed, done->stopped ? 1 : 0,
                                          done->elapsed_ms,
                                          static_cast<int>(watch.table().entries().size()),
                                          static_cast<int>(watch.table().reads())};
    return succeed(error);
  });
}

}  // extern "C"
