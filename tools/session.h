// The reader a command talks to: a real one found by discovery, or the
// built-in emulator over a socket pair.
#ifndef VELKOR_TOOLS_SESSION_H
#define VELKOR_TOOLS_SESSION_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "emulator/socket_server.h"
#include "tools/trace_relay.h"
#include "velkor.h"

namespace velkor::tool {

struct GlobalOptions {
  std::optional<std::uint64_t> emulate;  ///< seed of the emulated reader
  int device = 0;                        ///< which of the readers found
  int address = 0xFF;                    ///< reader address (0xFF: any reader)
  bool trace = false;
};

/// Tags the emulated reader starts with.
constexpr std::size_t kEmulatedGen2Tags = 6;
constexpr std::size_t kEmulatedIso6bTags = 2;

class Session {
 public:
  /// Opens the reader the options select; on failure returns null and says
  /// why in *error.
  static std::unique_ptr<Session> open(const GlobalOptions &options, std::string *error);
  ~Session();

  VelkorHandle handle() const { return handle_; }
  /// The reader address byte the commands read and may write back.
  unsigned char *address() { return &address_; }
  bool emulated() const { return emulator_ != nullptr; }
  emu::SocketServer *emulator() { return emulator_.get(); }

 private:
  Session() = default;

  std::unique_ptr<emu::SocketServer> emulator_;
  std::unique_ptr<TraceRelay> relay_;
  VelkorHandle handle_ = VELKOR_INVALID_HANDLE;
  bool owns_handle_ = false;
  unsigned char address_ = 0xFF;
};

/// Prints a trace entry to standard error.
void print_trace(const emu::TraceEntry &entry);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_SESSION_H
