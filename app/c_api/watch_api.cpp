// The C API's stop handles and watch.
#include "app/c_api/convert.h"
#include "app/c_api/job_callbacks.h"
#include "app/events/watch_event_feed.h"
#include "app/watch/watch.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

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
    events::WatchEventFeed observer([&job](const events::Event &e) { job.send(e); }, w.tid,
                                    o.decode != 0,
                                    [&job](int ms, Clock &clock) { job.idle(ms, clock); });
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
