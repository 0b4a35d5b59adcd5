#include "tools/serve/reader_registry.h"

#include <set>

#include "app/base/clock_text.h"
#include "app/events/presence_events.h"
#include "app/events/reader_documents.h"
#include "app/reader/reader_info.h"
#include "app/reader/reader_list.h"
#include "app/reader/settings.h"
#include "tools/serve/api_error.h"

namespace velkor::serve {

app::Result<nlohmann::json> read_reader_document(app::Session &s) {
  const app::Result<app::ReaderInfo> info = app::read_info(s, true);
  if (!info) return info.error();
  // The core's one information document, split as the API groups it.
  const app::events::Json all = app::events::info_document(0, s.path(), *s.address(), *info);
  nlohmann::json information, settings;
  for (const char *key : {"firmware", "type", "gen2", "iso6b", "address"})
    information[key] = all[key];
  for (const char *key : {"power_dbm", "region", "lowest_channel", "highest_channel", "beep",
                          "scan_time_ms", "antenna"})
    settings[key] = all[key];
  // A reader without a clock still has the rest.
  if (const app::Result<app::ClockBlock> clock = app::read_clock(s); clock)
    if (const auto text = app::format_clock(*clock)) settings["clock"] = *text;
  return nlohmann::json{{"id", all["serial"].get<std::string>()},
                        {"information", information},
                        {"settings", settings}};
}

Response no_reader(const std::string &id) {
  return error_response(Refusal::kNotFound, "no reader " + id);
}

Response on_reader(ReaderRegistry &readers, const std::string &id, ReaderCall call) {
  Response response;
  response.later = [&readers, id, call = std::move(call)](Completion done) {
    readers.run(id, call, std::move(done));
  };
  return response;
}

ReaderRegistry::ReaderRegistry(EventSink sink) : sink_(std::move(sink)) {}

void ReaderRegistry::close() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  if (rescans_.joinable()) rescans_.join();
  std::map<std::string, std::shared_ptr<ReaderWorker>> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  workers.clear();  // each joins its thread
}

app::Status ReaderRegistry::add(std::unique_ptr<app::Session> session) {
  app::Result<nlohmann::json> document = read_reader_document(*session);
  if (!document) return document.error();
  const std::string id = (*document)["id"];
  std::shared_ptr<ReaderWorker> replaced;
  {
    std::lock_guard lock(mutex_);
    if (const auto held = workers_.find(id); held != workers_.end()) {
      // A reader lost and plugged in again comes back under another node:
      // the new session takes the place of the lost one, unless a job
      // still holds that one.
      if (held->second->state() != ReaderState::kLost || held->second->busy())
        return app::Error::because(app::ErrorKind::kBusy, "open",
                                   "reader " + id + " is served already");
      replaced = std::move(held->second);
    }
    workers_[id] = std::make_shared<ReaderWorker>(id, std::move(session), std::move(*document));
  }
  replaced.reset();  // joins its thread, outside the lock
  publish(app::events::reader_event("plugged", id, app::WallClock::now()));
  return {};
}

app::Status ReaderRegistry::open(const app::SessionOptions &options, bool every) {
  {
    std::lock_guard lock(mutex_);
    options_ = options;
    every_ = every && !options.emulate;
  }
  if (options.emulate || !every) {
    app::Result<std::unique_ptr<app::Session>> session = app::Session::open(options);
    if (!session) return session.error();
    return add(std::move(*session));
  }
  const app::Result<std::vector<app::FoundReader>> found = app::list_readers(options.address);
  if (!found) return found.error();
  for (const app::FoundReader &reader : *found) {
    app::SessionOptions one = options;
    one.device = reader.path;
    app::Result<std::unique_ptr<app::Session>> session = app::Session::open(one);
    if (!session) return session.error();
    if (const app::Status added = add(std::move(*session)); !added) return added;
  }
  return {};
}

nlohmann::json ReaderRegistry::readers() const {
  nlohmann::json list = nlohmann::json::array();
  std::lock_guard lock(mutex_);
  for (const auto &[id, worker] : workers_) list.push_back(worker->document());
  return {{"readers", list}};
}

std::shared_ptr<ReaderWorker> ReaderRegistry::worker(const std::string &id) const {
  std::lock_guard lock(mutex_);
  const auto found = workers_.find(id);
  return found == workers_.end() ? nullptr : found->second;
}

void ReaderRegistry::set_lost(ReaderWorker &worker, bool lost) {
  if ((worker.state() == ReaderState::kLost) == lost) return;
  worker.set_lost(lost);
  publish(app::events::reader_event(lost ? "lost" : "plugged", worker.id(),
                                    app::WallClock::now()));
}

void ReaderRegistry::run(const std::string &id, ReaderCall call, Completion done) {
  const std::shared_ptr<ReaderWorker> w = worker(id);
  if (!w) return done(no_reader(id));
  ReaderWorker *raw = w.get();
  w->post([this, raw, call = std::move(call), done = std::move(done)](app::Session &s) {
    Response response;
    try {
      response = call(s);
    } catch (const ApiError &e) {
      if (e.refusal() == Refusal::kUnavailable) set_lost(*raw, true);
      response = error_response(e);
    } catch (const std::exception &e) {
      response = error_response(Refusal::kInternal, std::string("the server failed: ") + e.what());
    }
    done(std::move(response));
  });
}

void ReaderRegistry::start_rescans(int period_ms) {
  rescans_ = std::thread([this, period_ms] {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(period_ms), [this] { return ending_; })) {
      lock.unlock();
      rescan();
      lock.lock();
    }
  });
}

void ReaderRegistry::rescan() {
  std::vector<std::shared_ptr<ReaderWorker>> lost;
  std::set<std::string> held;
  app::SessionOptions options;
  bool every = false;
  {
    std::lock_guard lock(mutex_);
    for (const auto &[id, worker] : workers_) {
      held.insert(worker->path());
      if (worker->state() == ReaderState::kLost) lost.push_back(worker);
    }
    options = options_;
    every = every_;
  }
  // Readers plugged in since: only those no worker holds are opened.
  if (const auto paths = every ? app::reader_paths()
                               : app::Result<std::vector<std::string>>(app::no_reader_found());
      paths)
    for (const std::string &path : *paths) {
      if (held.count(path)) continue;
      app::SessionOptions one = options;
      one.device = path;
      // One another program holds (or not ready yet) is tried again next time.
      if (app::Result<std::unique_ptr<app::Session>> s = app::Session::open(one); s)
        (void)add(std::move(*s));
    }
  for (const std::shared_ptr<ReaderWorker> &w : lost) {
    {
      std::lock_guard lock(mutex_);  // replaced by a reader plugged in again
      if (const auto now = workers_.find(w->id()); now == workers_.end() || now->second != w)
        continue;
    }
    ReaderWorker *raw = w.get();
    w->post([this, raw](app::Session &s) {
      if (raw->busy() || raw->state() != ReaderState::kLost || !s.reconnect()) return;
      if (app::Result<nlohmann::json> doc = read_reader_document(s); doc) raw->set_document(*doc);
      set_lost(*raw, false);
    });
  }
}

}  // namespace velkor::serve
