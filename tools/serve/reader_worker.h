// One reader's worker: a thread that owns the reader's session and runs its
// exchanges one at a time, so that calls on one handle never overlap.  A
// long job (a watch, a commissioning run) runs on the same thread; the calls
// queued meanwhile run in the job's waits, between its exchanges.
#ifndef VELKOR_SERVE_READER_WORKER_H
#define VELKOR_SERVE_READER_WORKER_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "app/base/stop_token.h"
#include "app/events/document.h"
#include "app/reader/session.h"

namespace velkor::serve {

/// Where a worker's events go (the event stream), from its thread.
using EventSink = std::function<void(const app::events::Event &)>;

/// What a reader is doing, as the API names it.
enum class ReaderState { kIdle, kWatching, kCommissioning, kLost };
/// "idle", "watching", "commissioning", "lost".
const char *state_name(ReaderState state);

class ReaderWorker {
 public:
  /// A task run on the worker's thread with the reader's session.
  using Task = std::function<void(app::Session &)>;
  /// A long job: runs until its own stop token says so; it spends its waits
  /// in idle(ms), which runs the tasks queued meanwhile.
  using Job = std::function<void(app::Session &, const std::function<void(int ms)> &idle)>;

  /// Takes the open session of reader `id` (its serial) and starts the
  /// thread; `document` is its Reader document without "state".
  ReaderWorker(std::string id, std::unique_ptr<app::Session> session, nlohmann::json document);
  /// Stops the running job (through `stop`, its owner's token) and the
  /// thread, after the tasks queued have run.
  ~ReaderWorker();
  ReaderWorker(const ReaderWorker &) = delete;
  ReaderWorker &operator=(const ReaderWorker &) = delete;

  const std::string &id() const { return id_; }
  /// The device node its session opened ("emulator" for the emulator).
  const std::string &path() const { return path_; }

  /// Queues a task; it runs after those queued before it.  Thread-safe.
  void post(Task task);
  /// Queues a long job in state `state` (watching or commissioning) and
  /// returns true, unless a job is queued or running (false: busy).  `stop`
  /// is the job's token's source, which stop_job() requests.  Thread-safe.
  bool start_job(ReaderState state, std::shared_ptr<app::StopSource> stop, Job job);
  /// Asks the running or queued job to stop; `done` is called (on the
  /// worker's thread, or here when no job runs) once the worker is idle.
  void stop_job(std::function<void()> done);

  /// The state now.  Thread-safe.
  ReaderState state() const;
  /// A job is queued or running (it looks after its reader itself).
  bool busy() const;
  /// Marks the link lost (a call found the reader gone) or back.
  void set_lost(bool lost);
  /// The Reader document with its state.  Thread-safe.
  nlohmann::json document() const;
  /// Replaces the document (after a fresh read of the reader).  Thread-safe.
  void set_document(nlohmann::json document);

 private:
  void loop();
  // Runs the queued tasks; the lock is held on entry and on return.
  void drain(std::unique_lock<std::mutex> &lock);
  void idle(int ms);

  const std::string id_;
  std::unique_ptr<app::Session> session_;
  const std::string path_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  Job job_;                                    // queued, not yet started
  std::shared_ptr<app::StopSource> job_stop_;  // of the queued or running job
  ReaderState job_state_ = ReaderState::kIdle;
  std::vector<std::function<void()>> when_idle_;
  bool lost_ = false;
  bool ending_ = false;
  nlohmann::json document_;
  std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_READER_WORKER_H
