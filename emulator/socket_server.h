// Serves an emulator over a SOCK_SEQPACKET socket pair in real time.  The
// host end behaves like a hidraw node (one 64-byte message per read and
// write), so the library takes it as an ordinary device handle.
#ifndef VELKOR_EMULATOR_SOCKET_SERVER_H
#define VELKOR_EMULATOR_SOCKET_SERVER_H

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/real_time_link.h"

namespace velkor::emu {

class SocketServer {
 public:
  explicit SocketServer(const ReaderOptions &options = {});
  ~SocketServer();
  SocketServer(const SocketServer &) = delete;
  SocketServer &operator=(const SocketServer &) = delete;

  /// The host end, a device handle for the library.  The server closes it
  /// on destruction unless it was released.
  int handle() const { return host_; }
  /// Hands the host end over to the caller (who closes it, e.g. with
  /// CloseUSBPort).
  int release_handle();

  /// Runs f on the emulator while the serving thread is held off.
  template <typename F>
  auto with_emulator(F &&f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(emulator_);
  }

  /// Opens one more handle on the same reader, as a second open() of a
  /// hidraw node does: its output reports reach the same emulator, and every
  /// input report goes to every handle, each of which keeps its own copy.
  /// The server closes it on destruction.  -1 when no socket pair is had.
  int open_second_handle();

  /// Closes the reader's end, as if the device were unplugged.
  void disconnect();

  /// Host protocol violations recorded by every server of the process that
  /// has stopped; each is also written to standard error as it stops.
  static std::size_t violations_of_stopped();

 private:
  void serve();

  Emulator emulator_;
  std::mutex mutex_;
  int host_ = -1;
  int device_ = -1;
  std::vector<int> second_hosts_;    // from open_second_handle
  std::vector<int> second_devices_;  // the reader's ends of those
  bool host_owned_ = true;
  std::thread thread_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_SOCKET_SERVER_H
