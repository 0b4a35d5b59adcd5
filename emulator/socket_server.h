// Serves an emulator over a SOCK_SEQPACKET socket pair in real time.  The
// host end behaves like a hidraw node (one 64-byte message per read and
// write), so the library takes it as an ordinary device handle.
#ifndef VELKOR_EMULATOR_SOCKET_SERVER_H
#define VELKOR_EMULATOR_SOCKET_SERVER_H

#include <memory>
#include <thread>

#include "emulator/real_time_link.h"

namespace velkor::emu {

class SocketServer : public ServedEmulator<int> {
 public:
  explicit SocketServer(const ReaderOptions &options = {});
  ~SocketServer();

  /// Closes the reader's end, as if the device were unplugged.
  void disconnect();

 private:
  void serve();

  int device_ = -1;
  std::thread thread_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_SOCKET_SERVER_H
