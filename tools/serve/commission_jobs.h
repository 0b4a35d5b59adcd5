// Commissioning runs started over HTTP: each a job on its reader's worker,
// with its request and the core's write-ahead journal in the server's state
// directory, so that a run the server's stop cut short resumes when the
// server starts again with its reader.  Progress goes to the event stream
// as the core's commissioning events, with the reader and the job in front.
#ifndef VELKOR_SERVE_COMMISSION_JOBS_H
#define VELKOR_SERVE_COMMISSION_JOBS_H

#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "app/commission/commissioning.h"
#include "app/files/directory.h"
#include "tools/serve/reader_registry.h"

namespace velkor::serve {

/// What a commissioning request asks for, checked.
struct CommissionRequest {
  app::Plan plan;
  app::Bytes access_password;
  std::vector<int> lock;
  nlohmann::json body;  ///< as sent, kept with the job to start it again
};

/// The request's body as a plan and its options.  Throws ApiError 400 for
/// an unknown field, a bad value or a plan the codec refuses.
CommissionRequest commission_request(const nlohmann::json &body);

/// $XDG_STATE_HOME/velkor/serve, or ~/.local/state/velkor/serve.
std::string default_state_dir();

class CommissionJobs {
 public:
  /// Opens (making it, owner only) the state directory and reads the jobs
  /// kept there.  Throws std::runtime_error with the reason when it cannot.
  CommissionJobs(const std::string &state_dir, ReaderRegistry &readers);

  /// Starts a job on reader `id`; done gets 202 with the Job document once
  /// it is queued, 404 for no such reader, 409 when the reader is busy.
  void start(const std::string &id, CommissionRequest request, Completion done);
  /// Starts again every job the server's stop cut short whose reader is
  /// served.
  void resume();

  /// The Job document; nullopt for no such job.  Thread-safe.
  std::optional<nlohmann::json> job(const std::string &job) const;
  /// Stops job `job`; done gets its Job document once it stopped (404 for
  /// no such job).
  void stop(const std::string &job, Completion done);
  /// Runs job `job` (stopped, failed or ended for want of a tag) again on
  /// its own journal and reader, so that no serial is issued twice; done
  /// gets 202 with the Job document once it is queued, 404 for no such job,
  /// 409 when it is running or finished or its reader is busy, 503 when its
  /// reader is lost or not served.
  void resume(const std::string &job, Completion done);

 private:
  struct Job;
  // Queues the job; on a busy reader it goes back to `state_before`.
  void run(const std::shared_ptr<Job> &job, Completion done, const std::string &state_before);
  void keep(const Job &job);

  ReaderRegistry &readers_;
  app::Directory dir_;
  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Job>> jobs_;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_COMMISSION_JOBS_H
