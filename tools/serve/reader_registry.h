// The readers velkor serve drives, as its routes see them.  Each reader is
// owned by one worker thread that runs its calls one at a time (calls on
// one handle never overlap); a call's answer comes back through a
// Completion, so the server's thread never waits for a reader.  A route
// answers with Response::later, whose function hands the call to run():
//
//   response.later = [&readers, id, options](Completion done) {
//     if (!readers.run(id, [options](app::Session &s) { return inventory(s, options); },
//                      done))
//       done(error_response(Refusal::kNotFound, "no reader " + id));
//   };
//
// The worker's outcomes (the core's Error kinds) become HTTP statuses in
// api_error.cpp, the one place that maps them.  The workers publish the
// core's events (reads, arrivals, readers plugged and lost, job progress)
// to the EventHub.
#ifndef VELKOR_SERVE_READER_REGISTRY_H
#define VELKOR_SERVE_READER_REGISTRY_H

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/serve/http_message.h"

namespace velkor::app {
class Session;  // the core's open reader
}

namespace velkor::serve {

/// One call on a reader, run on its worker's thread; it may throw the
/// core's errors, which the worker turns into the error response.
using ReaderCall = std::function<Response(app::Session &)>;

class ReaderRegistry {
 public:
  virtual ~ReaderRegistry() = default;

  /// Every reader known, attached or lost while the server runs, as the
  /// API's Reader documents (id, information, settings, state).
  /// Thread-safe.
  virtual nlohmann::json readers() const = 0;

  /// Queues call on the worker of reader id (its serial number) and returns
  /// true; done gets the call's response, on the worker's thread, once it
  /// has run.  False, with done never called, when no reader has that id.
  /// Thread-safe.
  virtual bool run(const std::string &id, ReaderCall call, Completion done) = 0;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_READER_REGISTRY_H
