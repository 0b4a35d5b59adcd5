// The C API's commissioning.
#include "app/c_api/convert.h"
#include "app/c_api/job_callbacks.h"
#include "app/commission/commissioning.h"
#include "app/events/commission_event_feed.h"
#include "app/events/commission_events.h"
#include "app/epc_json.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

namespace {

// Thrown out of the run when the caller ends it at a stage, as a crash.
struct EndedAtStage {};

// The run's events to the caller's callbacks; a stage the caller ends the
// run at ends it there.
class CallbackCommission final : public events::CommissionEventFeed {
 public:
  explicit CallbackCommission(const JobCallbacks &callbacks)
      : CommissionEventFeed([&callbacks](const events::Event &e) { callbacks.send(e); },
                            [&callbacks](int ms, Clock &clock) { callbacks.idle(ms, clock); }),
        callbacks_(callbacks) {}

  void on_stage(CommissionStage stage, unsigned taken) override {
    if (callbacks_.stage(static_cast<int>(stage), taken)) throw EndedAtStage{};
  }

 private:
  const JobCallbacks &callbacks_;
};

Result<Plan> plan_of(const velkor_app_commission_options &o) {
  const unsigned bits = o.scheme ? scheme_bits(o.scheme) : 0;
  if (o.scheme && bits == 0)
    return Error::because(ErrorKind::kBadInput, "plan",
                          std::string("'") + o.scheme + "' is not a scheme");
  if ((o.gtin == nullptr) == (o.plan_file == nullptr))
    return Error::because(ErrorKind::kBadInput, "plan", "give a GTIN and a range, or a file");
  if (o.plan_file) return plan_from_file(o.plan_file, static_cast<unsigned>(o.filter), bits);
  return plan_from_keys({o.gtin, static_cast<unsigned>(o.prefix_length), o.serial_from, o.count,
                         static_cast<unsigned>(o.filter), bits});
}

}  // namespace

extern "C" {

int velkor_app_commission(velkor_app_session *s, const velkor_app_commission_options *options,
                          const velkor_app_callbacks *callbacks, velkor_app_stop *stop,
                          velkor_app_commission_summary *summary, velkor_app_error *error) {
  if (!s || !options) return bad_argument("commission", "no session or no options", error);
  return guarded(error, "commission", [&]() -> int {
    const velkor_app_commission_options &o = *options;
    Result<Plan> plan = plan_of(o);
    if (!plan) return fail(plan.error(), error);
    CommissionOptions job;
    job.plan = std::move(*plan);
    if (o.journal) job.journal = o.journal;
    if (o.access_password) job.access_password.assign(o.access_password, o.access_password + 4);
    if (o.lock) job.lock.assign(o.lock, o.lock + std::max(o.lock_count, 0));
    job.timeout_ms = std::max<long long>(o.timeout_ms, 0);
    if (Status locks = check_locks(job.lock, job.access_password); !locks)
      return fail(locks.error(), error);
    const JobCallbacks calls(callbacks);
    CallbackCommission observer(calls);
    Commissioning run(*s->session, std::move(job), observer);
    if (Status opened = run.open(); !opened) return fail(opened.error(), error);
    for (int i = 0; o.voids && i < o.void_count; ++i)
      if (Status voided = run.void_serial(o.voids[i]); !voided) return fail(voided.error(), error);
    CommissionSummary done;
    try {
      done = run.run(stop ? stop->source.token() : StopToken{});
    } catch (const EndedAtStage &) {
      done.end = CommissionEnd::kStopped;
      done.progress = run.progress();
      done.interrupted = run.journal().interrupted();
      done.error = Error::because(ErrorKind::kStopped, "commission", "ended at a stage");
    }
    calls.send(events::end_event(done));
    if (summary)
      *summary = velkor_app_commission_summary{
          static_cast<int>(done.end),        static_cast<long long>(done.progress.done),
          static_cast<long long>(done.progress.total),
          static_cast<long long>(done.progress.this_run), done.progress.elapsed_ms,
          static_cast<int>(done.interrupted.size())};
    return done.error ? fail(*done.error, error) : succeed(error);
  });
}

}  // extern "C"
