#include "tools/serve/commission_jobs.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <utility>

#include "app/epc_json.h"
#include "app/events/commission_event_feed.h"
#include "app/events/commission_events.h"
#include "app/files/bounded_read.h"
#include "app/files/replace.h"
#include "tools/serve/api_error.h"
#include "tools/serve/hex_value.h"
#include "tools/serve/json_body.h"
#include "tools/serve/tag_names.h"

namespace velkor::serve {

namespace {

constexpr std::size_t kMostJobBytes = 1 << 20;
constexpr std::size_t kMostLogEntries = 1000;  // the latest kept in a Job document

std::string new_job_id() {
  std::random_device random;
  static const char kDigits[] = "0123456789abcdef";
  std::string id;
  for (int i = 0; i < 16; ++i) id += kDigits[random() % 16];
  return id;
}

bool is_job_id(const std::string &id) {
  return id.size() == 16 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

CommissionRequest commission_request(const nlohmann::json &body) {
  only_fields(body, {"gtin", "prefix_length", "serial_from", "count", "identities", "filter",
                     "scheme", "access_password", "lock"});
  CommissionRequest r;
  r.body = body;
  const unsigned filter = unsigned(integer_field(body, "filter", 0, 7).value_or(0));
  unsigned bits = 0;
  if (const auto scheme = string_field(body, "scheme")) {
    bits = app::scheme_bits(*scheme);
    if (bits == 0) throw ApiError(Refusal::kBadInput, "scheme: '" + *scheme + "' is not one");
  }
  const auto gtin = string_field(body, "gtin");
  const auto identities = body.find("identities");
  if (gtin.has_value() == (identities != body.end()))
    throw ApiError(Refusal::kBadInput, "give a gtin with a serial range, or identities");
  app::Result<app::Plan> plan = app::Plan{};
  if (gtin) {
    const auto prefix = integer_field(body, "prefix_length", 6, 12);
    const auto count = integer_field(body, "count", 1, 1000000);
    if (!prefix || !count)
      throw ApiError(Refusal::kBadInput, "a gtin needs prefix_length and count");
    plan = app::plan_from_keys({*gtin, unsigned(*prefix),
                                std::uint64_t(integer_field(body, "serial_from", 0,
                                                            274877906943LL).value_or(0)),
                                std::uint64_t(*count), filter, bits});
  } else {
    if (!identities->is_array() || identities->empty())
      throw ApiError(Refusal::kBadInput, "identities: must be a list of EPC URIs or hex");
    std::string text;
    for (const auto &line : *identities) {
      if (!line.is_string() || line.get<std::string>().find('\n') != std::string::npos)
        throw ApiError(Refusal::kBadInput, "identities: each must be one EPC URI or hex");
      text += line.get<std::string>() + "\n";
    }
    plan = app::plan_from_text(text, filter, bits);
  }
  if (!plan) throw api_error(plan.error());
  r.plan = std::move(*plan);
  if (const auto password = string_field(body, "access_password"))
    r.access_password = hex_value(*password, "access_password", 4, 4);
  if (const auto lock = body.find("lock"); lock != body.end()) {
    if (!lock->is_array()) throw ApiError(Refusal::kBadInput, "lock: must be a list of fields");
    for (const auto &field : *lock) {
      if (!field.is_string()) throw ApiError(Refusal::kBadInput, "lock: must be a list of fields");
      r.lock.push_back(lock_field(field.get<std::string>(), "lock"));
    }
  }
  if (app::Status locks = app::check_locks(r.lock, r.access_password); !locks)
    throw api_error(locks.error());
  return r;
}

std::string default_state_dir() {
  if (const char *state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
    return std::string(state) + "/velkor/serve";
  const char *home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/state/velkor/serve";
}

struct CommissionJobs::Job {
  std::string id, reader;
  CommissionRequest request;
  std::string state = "running";  // running, stopped, finished, failed
  std::size_t done = 0, total = 0;
  std::optional<std::string> error;
  nlohmann::json log = nlohmann::json::array();
  std::shared_ptr<app::StopSource> stop;
  bool stop_asked = false;  // by DELETE, not by the server's own stop

  nlohmann::json document() const {
    nlohmann::json doc = {{"id", id}, {"reader", reader}, {"state", state},
                          {"done", done}, {"total", total}, {"log", log}};
    if (error) doc["error"] = *error;
    return doc;
  }
};

CommissionJobs::CommissionJobs(const std::string &state_dir, ReaderRegistry &readers)
    : readers_(readers) {
  std::string error;
  std::error_code ignored;
  // The parents as any program's; the directory itself the owner's alone.
  std::filesystem::create_directories(std::filesystem::path(state_dir).parent_path(), ignored);
  if (!dir_.open(state_dir, {true, 0700, true}, app::system_file_system(), &error))
    throw std::runtime_error("--state-dir: " + error);
  std::vector<std::string> names;
  if (!dir_.names(&names, &error)) throw std::runtime_error("--state-dir: " + error);
  for (const std::string &name : names) {
    if (name.size() != 16 + 5 || name.substr(16) != ".json" || !is_job_id(name.substr(0, 16)))
      continue;
    std::string text;
    if (app::read_file(dir_, name, kMostJobBytes, &text, &error) != app::FileRead::kRead) continue;
    try {
      const nlohmann::json kept = nlohmann::json::parse(text);
      auto job = std::make_shared<Job>();
      job->id = name.substr(0, 16);
      job->reader = kept.at("reader");
      job->state = kept.at("state");
      job->done = kept.at("done");
      job->total = kept.at("total");
      job->request = commission_request(kept.at("request"));
      jobs_[job->id] = job;
    } catch (const std::exception &) {
      // A file that is no job of ours stays where it is, unused.
    }
  }
}

void CommissionJobs::keep(const Job &job) {
  const nlohmann::json kept = {{"reader", job.reader}, {"state", job.state},
                               {"done", job.done},     {"total", job.total},
                               {"request", job.request.body}};
  std::string error;
  (void)app::replace_file(dir_, job.id + ".json", kept.dump() + "\n", 0600, &error);
}

void CommissionJobs::start(const std::string &id, CommissionRequest request, Completion done) {
  if (!readers_.worker(id)) return done(no_reader(id));
  auto job = std::make_shared<Job>();
  job->id = new_job_id();
  job->reader = id;
  job->total = request.plan.size();
  job->request = std::move(request);
  {
    std::lock_guard lock(mutex_);
    jobs_[job->id] = job;
  }
  run(job, std::move(done), "stopped");
}

void CommissionJobs::resume() {
  std::vector<std::shared_ptr<Job>> cut;
  {
    std::lock_guard lock(mutex_);
    for (const auto &[id, job] : jobs_)
      if (job->state == "running" && readers_.worker(job->reader)) cut.push_back(job);
  }
  for (const auto &job : cut) run(job, [](Response) {}, "stopped");
}

void CommissionJobs::resume(const std::string &id, Completion done) {
  std::shared_ptr<Job> job;
  std::string before;
  {
    std::lock_guard lock(mutex_);
    const auto found = jobs_.find(id);
    if (found == jobs_.end()) return done(error_response(Refusal::kNotFound, "no job " + id));
    job = found->second;
    if (job->state == "running" || job->state == "finished")
      return done(error_response(Refusal::kConflict, "job " + id + " is " + job->state));
    const std::shared_ptr<ReaderWorker> worker = readers_.worker(job->reader);
    if (!worker || worker->state() == ReaderState::kLost)
      return done(error_response(Refusal::kUnavailable, "reader " + job->reader + " is lost"));
    // Marked running here, under the lock, so that two resumes cannot both run it.
    before = job->state;
    job->state = "running";
  }
  run(job, std::move(done), before);
}

void CommissionJobs::run(const std::shared_ptr<Job> &job, Completion done,
                         const std::string &state_before) {
  const std::shared_ptr<ReaderWorker> worker = readers_.worker(job->reader);
  auto stop = std::make_shared<app::StopSource>();
  std::optional<std::string> error_before;
  {
    std::lock_guard lock(mutex_);
    job->stop = stop;
    job->state = "running";
    job->stop_asked = false;
    error_before = std::exchange(job->error, std::nullopt);
  }
  keep(*job);
  const std::string journal = dir_.path_of(job->id + ".journal");
  const auto work = [this, job, stop, journal](app::Session &s,
                                               const std::function<void(int)> &idle) {
    app::CommissionOptions options;
    options.plan = job->request.plan;
    options.journal = journal;
    options.access_password = job->request.access_password;
    options.lock = job->request.lock;
    const std::string reader = job->reader;
    app::events::CommissionEventFeed feed(
        [this, job, reader](const app::events::Event &e) {
          app::events::Json doc = {{"reader", reader}, {"job", job->id}};
          for (const auto &[key, value] : e.document.items()) doc[key] = value;
          {
            std::lock_guard lock(mutex_);
            if (e.name == "tag") job->done = e.document.value("done", job->done);
            job->log.push_back(nlohmann::json::parse(e.document.dump()));
            if (job->log.size() > kMostLogEntries) job->log.erase(job->log.begin());
          }
          readers_.publish({e.name, doc});
        },
        [&idle](int ms, app::Clock &) { idle(ms); });
    app::Commissioning run(s, options, feed);
    app::CommissionSummary summary;
    if (const app::Status opened = run.open(); !opened) {
      summary.end = app::CommissionEnd::kFailed;
      summary.error = opened.error();
    } else {
      summary = run.run(stop->token());
    }
    app::events::Event end = app::events::end_event(summary);
    {
      std::lock_guard lock(mutex_);
      job->done = summary.progress.done;
      if (summary.error) job->error = summary.error->message();
      switch (summary.end) {
        case app::CommissionEnd::kComplete: job->state = "finished"; break;
        case app::CommissionEnd::kFailed: job->state = "failed"; break;
        // Stopped by the server's own end: still running, resumed at its next start.
        case app::CommissionEnd::kStopped: job->state = job->stop_asked ? "stopped" : "running"; break;
        case app::CommissionEnd::kNoTag: job->state = "stopped"; break;
      }
      job->log.push_back(nlohmann::json::parse(end.document.dump()));
    }
    keep(*job);
    app::events::Json doc = {{"reader", reader}, {"job", job->id}};
    for (const auto &[key, value] : end.document.items()) doc[key] = value;
    readers_.publish({end.name, doc});
  };
  if (!worker->start_job(ReaderState::kCommissioning, stop, work)) {
    std::lock_guard lock(mutex_);
    // A run that failed keeps its reason; one that never ran says why.
    job->state = state_before;
    job->error = error_before ? *error_before : "reader " + job->reader + " is busy";
    keep(*job);
    return done(error_response(Refusal::kConflict, "reader " + job->reader + " is busy: " +
                                                       state_name(worker->state())));
  }
  done(json_response(*this->job(job->id), 202));
}

std::optional<nlohmann::json> CommissionJobs::job(const std::string &id) const {
  std::lock_guard lock(mutex_);
  const auto found = jobs_.find(id);
  if (found == jobs_.end()) return std::nullopt;
  return found->second->document();
}

void CommissionJobs::stop(const std::string &id, Completion done) {
  std::shared_ptr<Job> job;
  {
    std::lock_guard lock(mutex_);
    const auto found = jobs_.find(id);
    if (found == jobs_.end()) return done(error_response(Refusal::kNotFound, "no job " + id));
    job = found->second;
    if (job->state != "running") return done(json_response(job->document()));
    job->stop_asked = true;
  }
  const std::shared_ptr<ReaderWorker> worker = readers_.worker(job->reader);
  if (!worker) return done(json_response(this->job(id).value()));
  worker->stop_job([this, id, done] { done(json_response(this->job(id).value())); });
}

}  // namespace velkor::serve
