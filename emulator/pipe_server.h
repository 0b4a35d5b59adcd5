// Serves an emulator over a message-mode named pipe in real time (Windows).
// The host end, opened for overlapped I/O, behaves like a HID device handle
// (one 64-byte message per read and write), so the library takes it as an
// ordinary device handle.
#ifndef VELKOR_EMULATOR_PIPE_SERVER_H
#define VELKOR_EMULATOR_PIPE_SERVER_H

#include <cstdint>
#include <thread>

#include "emulator/real_time_link.h"

namespace velkor::emu {

class PipeServer : public ServedEmulator<void *> {  // a Win32 HANDLE
 public:
  explicit PipeServer(const ReaderOptions &options = {});
  ~PipeServer();

  /// Closes the reader's end, as if the device were unplugged.
  void disconnect();

 private:
  using Handle = void *;
  void serve();
  bool stalled();                                  // the reader has stopped reading
  bool read(std::uint8_t *in, unsigned long &n);  // one 64-byte report
  bool write(const std::uint8_t *out);            // one 64-byte report
  bool finish(void *overlapped, unsigned long &n);

  Handle device_ = nullptr;
  Handle stop_ = nullptr;  // set by disconnect: the serving thread closes the device end
  Handle io_ = nullptr;    // the serving thread's overlapped event
  std::thread thread_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_PIPE_SERVER_H
