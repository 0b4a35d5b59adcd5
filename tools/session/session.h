// The reader a command talks to: a real one found by discovery, or the
// built-in emulator over a socket pair.
#ifndef VELKOR_TOOLS_SESSION_H
#define VELKOR_TOOLS_SESSION_H

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "emulator/socket_server.h"
#include "tools/session/emulated_reader.h"
#include "tools/session/trace_relay.h"
#include "velkor.h"

namespace velkor::tool {

struct GlobalOptions {
  std::optional<std::uint64_t> emulate;  ///< seed of the emulated reader
  int device = 0;                        ///< which of the readers found
  int address = 0xFF;                    ///< reader address (0xFF: any reader)
  bool trace = false;
};

/// For trying --watch across an unplugged reader without hardware:
/// VELKOR_EMULATOR_UNPLUG=ROUNDS:MS unplugs the emulated reader after ROUNDS
/// inventory rounds and plugs a fresh one (same seed) in MS milliseconds
/// later.
constexpr const char *kUnplugVariable = "VELKOR_EMULATOR_UNPLUG";

class Session {
 public:
  /// Opens the reader the options select; on failure returns null and says
  /// why in *error.
  static std::unique_ptr<Session> open(const GlobalOptions &options, std::string *error);
  ~Session();

  VelkorHandle handle() const { return handle_; }
  /// The reader address byte the commands read and may write back.
  unsigned char *address() { return &address_; }
  bool emulated() const { return options_.emulate.has_value(); }

  /// Lets go of the reader and looks for it again (the same device index);
  /// false, with the reason in *error, while it is not back.
  bool reconnect(std::string *error);
  /// Counts a finished inventory round; the emulated reader is unplugged
  /// when the unplug plan says so.
  void round_finished();

 private:
  struct UnplugPlan {
    unsigned after_rounds = 0;
    unsigned back_after_ms = 0;
  };

  Session() = default;
  bool connect(std::string *error);
  void release();

  GlobalOptions options_;
  std::optional<UnplugPlan> unplug_;
  unsigned rounds_ = 0;
  std::optional<std::chrono::steady_clock::time_point> unplugged_at_;

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
