// Ctrl-C for the commands that run until they are stopped: while a guard
// lives, SIGINT only raises a flag that the command reads between steps, so
// it can finish the step in hand and say what it did.
#ifndef VELKOR_TOOLS_INTERRUPT_GUARD_H
#define VELKOR_TOOLS_INTERRUPT_GUARD_H

#include <csignal>

namespace velkor::tool {

/// Catches SIGINT from construction to destruction (clearing the flag as it
/// starts); the previous handler comes back afterwards.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard &) = delete;
  InterruptGuard &operator=(const InterruptGuard &) = delete;

 private:
  struct sigaction previous_ {};
};

/// Whether SIGINT arrived since the guard was made.
bool interrupted();

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_INTERRUPT_GUARD_H
