#include "tools/cli/commands/interrupt_guard.h"

namespace velkor::tool {

namespace {

// A signal handler can only reach a flag of this kind.
volatile std::sig_atomic_t g_interrupted = 0;

void on_interrupt(int) { g_interrupted = 1; }

}  // namespace

InterruptGuard::InterruptGuard() {
  g_interrupted = 0;
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_);
}

InterruptGuard::~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }

bool interrupted() { return g_interrupted != 0; }

}  // namespace velkor::tool
