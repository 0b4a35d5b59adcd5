// The readers velkor serve drives, as its routes see them.  Each reader is
// owned by one ReaderWorker whose thread runs its calls one at a time (calls
// on one handle never overlap); a call's answer comes back through a
// Completion, so the server's thread never waits for a reader.  A route
// answers with Response::later, whose function hands the call to run():
//
//   response.later = [&readers, id, options](Completion done) {
//     readers.run(id, [options](app::Session &s) { return inventory(s, options); },
//                 std::move(done));
//   };
//
// A call reports the core's failures by throwing api_error(error)
// (api_error.cpp maps them to HTTP statuses).  Readers found at start, lost
// and back while the server runs are announced on the event stream
// ("plugged", "lost", the core's documents).
#ifndef VELKOR_SERVE_READER_REGISTRY_H
#define VELKOR_SERVE_READER_REGISTRY_H

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "app/reader/session.h"
#include "tools/serve/http_message.h"
#include "tools/serve/reader_worker.h"

namespace velkor::serve {

/// One call on a reader, run on its worker's thread; it may throw ApiError
/// (api_error() of the core's failures), which becomes the error response.
using ReaderCall = std::function<Response(app::Session &)>;

/// A reader's Reader document without its state: {"id", "information",
/// "settings"}, read from the reader now.  Errors: the reader's failure.
app::Result<nlohmann::json> read_reader_document(app::Session &s);

class ReaderRegistry {
 public:
  /// sink: [in] where the readers' events go (plugged, lost, the jobs').
  explicit ReaderRegistry(EventSink sink);
  /// Stops the rescans, then every worker (their jobs stop first).
  ~ReaderRegistry() { close(); }
  /// What the destructor does, for an owner whose jobs' state must outlive
  /// the workers.  Idempotent.
  void close();

  /// Opens the readers the options name: the emulated one, the one
  /// `options.device` names when `every` is false, else every reader
  /// attached.  Each is announced "plugged".  Errors: the first reader that
  /// could not be opened, or kNotFound when there is none.
  app::Status open(const app::SessionOptions &options, bool every);
  /// Adds an open session (its serial read from it) as a reader.  Errors:
  /// the reader's failure; kBusy when a reader of that serial is served.
  app::Status add(std::unique_ptr<app::Session> session);
  /// Every `period_ms`, asks the lost readers' workers to reconnect (a
  /// reader back is announced "plugged") and, when open() was to serve
  /// every reader attached, opens and adds the readers plugged in since.
  void start_rescans(int period_ms);

  /// {"readers": [Reader...]}, lost ones included.  Thread-safe.
  nlohmann::json readers() const;
  /// Reader `id`'s worker; null when no reader has that id.  Thread-safe.
  std::shared_ptr<ReaderWorker> worker(const std::string &id) const;

  /// Queues call on the worker of reader `id`; done gets its response, on
  /// the worker's thread.  A reader found gone (503) is marked lost.  With
  /// no reader of that id, done gets 404 at once.  Thread-safe.
  void run(const std::string &id, ReaderCall call, Completion done);

  /// Marks a reader lost or back, announcing it.  Thread-safe.
  void set_lost(ReaderWorker &worker, bool lost);
  /// Publishes an event of the core's model on the stream.
  void publish(const app::events::Event &event) const { sink_(event); }

 private:
  void rescan();

  EventSink sink_;
  app::SessionOptions options_;  // of open(), for readers plugged in later
  bool every_ = false;
  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<ReaderWorker>> workers_;
  std::condition_variable wake_;
  bool ending_ = false;
  std::thread rescans_;
};

/// A response that comes later: call run on reader id's worker.
Response on_reader(ReaderRegistry &readers, const std::string &id, ReaderCall call);

/// The 404 for an id no reader has.
Response no_reader(const std::string &id);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_READER_REGISTRY_H
