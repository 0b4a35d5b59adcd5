// Ctrl-C for the commands that run until they are stopped: while a guard
// lives, SIGINT asks the job's stop source to stop, so the job finishes the
// step in hand and the command can say what it did.
#ifndef VELKOR_TOOLS_INTERRUPT_H
#define VELKOR_TOOLS_INTERRUPT_H

#include <csignal>

#include "app/base/stop_token.h"

namespace velkor::tool {

/// Turns SIGINT into source.request_stop() from construction to destruction;
/// the previous handler comes back afterwards.  One guard at a time.
class InterruptGuard {
 public:
  explicit InterruptGuard(const app::StopSource &source);
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard &) = delete;
  InterruptGuard &operator=(const InterruptGuard &) = delete;

  /// Whether SIGINT arrived while the guard lived.
  bool interrupted() const;

 private:
  struct sigaction previous_ {};
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_INTERRUPT_H
