// Serves an emulator over a message-mode named pipe in real time (Windows).
// The host end, opened for overlapped I/O, behaves like a HID device handle
// (one 64-byte message per read and write), so the library takes it as an
// ordinary device handle.
#ifndef VELKOR_EMULATOR_PIPE_SERVER_H
#define VELKOR_EMULATOR_PIPE_SERVER_H

#include <cstdint>
#include <mutex>
#include <thread>

#include "emulator/emulator.h"

namespace velkor::emu {

class PipeServer {
 public:
  using Handle = void *;  // a Win32 HANDLE

  explicit PipeServer(const ReaderOptions &options = {});
  ~PipeServer();
  PipeServer(const PipeServer &) = delete;
  PipeServer &operator=(const PipeServer &) = delete;

  /// The host end, a device handle for the library.  The server closes it
  /// on destruction unless it was released.
  Handle handle() const { return host_; }
  /// Hands the host end over to the caller (who closes it, e.g. with
  /// CloseUSBPort).
  Handle release_handle();

  /// Runs f on the emulator while the serving thread is held off.
  template <typename F>
  auto with_emulator(F &&f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(emulator_);
  }

  /// Closes the reader's end, as if the device were unplugged.
  void disconnect();

 private:
  void serve();
  bool read(std::uint8_t *in, unsigned long &n);  // one 64-byte report
  bool write(const std::uint8_t *out);            // one 64-byte report
  bool finish(void *overlapped, unsigned long &n);

  Emulator emulator_;
  std::mutex mutex_;
  Handle host_ = nullptr;
  Handle device_ = nullptr;
  Handle stop_ = nullptr;  // set by disconnect: the serving thread closes the device end
  Handle io_ = nullptr;    // the serving thread's overlapped event
  bool host_owned_ = true;
  std::thread thread_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_PIPE_SERVER_H
