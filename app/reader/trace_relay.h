// Sits between the library and a real reader and reports every report that
// passes, so --trace works on hardware as it does on the emulator.  The
// library talks to one end of a socket pair; a thread forwards reports to and
// from the device.
#ifndef VELKOR_APP_READER_TRACE_RELAY_H
#define VELKOR_APP_READER_TRACE_RELAY_H

#include <atomic>
#include <functional>
#include <thread>

#include "emulator/trace.h"

namespace velkor::app {

class TraceRelay {
 public:
  using Sink = std::function<void(const emu::TraceEntry &)>;
  /// Takes over device (closing it when done).
  TraceRelay(int device, Sink sink);
  ~TraceRelay();
  TraceRelay(const TraceRelay &) = delete;
  TraceRelay &operator=(const TraceRelay &) = delete;

  /// The handle the library uses instead of the device.
  int handle() const { return library_; }

 private:
  void run();

  int device_;
  int library_ = -1;
  int relay_ = -1;
  Sink sink_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_TRACE_RELAY_H
