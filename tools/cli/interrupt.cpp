#include "tools/cli/interrupt.h"

#include <atomic>

namespace velkor::tool {

namespace {

// A signal handler may only touch lock-free atomics.
std::atomic<const app::StopSource *> g_source{nullptr};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<const app::StopSource *>::is_always_lock_free);

void on_interrupt(int) {
  g_interrupted.store(true);
  if (const app::StopSource *source = g_source.load()) source->request_stop();
}

}  // namespace

InterruptGuard::InterruptGuard(const app::StopSource &source) {
  g_interrupted.store(false);
  g_source.store(&source);
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &previous_, nullptr);
  g_source.store(nullptr);
}

bool InterruptGuard::interrupted() const { return g_interrupted.load(); }

}  // namespace velkor::tool
