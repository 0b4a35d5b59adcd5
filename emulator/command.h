// What the reader's command table holds: a decoded command frame in, the
// reply frames out.
#ifndef VELKOR_EMULATOR_COMMAND_H
#define VELKOR_EMULATOR_COMMAND_H

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "emulator/wire.h"

namespace velkor::emu {

class Reader;

/// A command frame the reader accepted (intact, addressed to it).
struct Command {
  std::uint8_t address = 0;  ///< the address the frame was sent to
  std::uint8_t code = 0;     ///< command byte (the raw byte for unframed input)
  Bytes data;                ///< request data, between command byte and CRC
};

/// One reply frame before encoding.
struct ReplyFrame {
  std::uint8_t status = 0;
  Bytes data;
};

/// A command's answer: the frames the reader sends back, in order.  No frames
/// at all means the reader stays silent.
struct Response {
  std::vector<ReplyFrame> frames;
  std::uint8_t echo = 0;  ///< the echo byte; 0 takes the command byte

  static Response ok(Bytes data = {}) { return status(0x00, std::move(data)); }
  static Response status(std::uint8_t s, Bytes data = {}) {
    Response r;
    r.frames.push_back({s, std::move(data)});
    return r;
  }
  static Response none() { return {}; }
};

/// Reader statuses the emulator uses for its own refusals.
enum : std::uint8_t {
  kStatusOk = 0x00,
  kStatusNoTag = 0xFB,         ///< no tag answered, or the selection matched none
  kStatusTagError = 0xFC,      ///< the tag answered with an error code
  kStatusLengthError = 0xFD,   ///< a frame of the wrong length for its command
  kStatusUnknownCommand = 0xFE,
  kStatusParameterError = 0xFF,
};

using Handler = std::function<Response(Reader &, const Command &)>;

/// Handlers by command byte, each with the request data lengths it accepts.
class CommandTable {
 public:
  /// Registers a handler for requests of min_len to max_len data bytes.
  void add(std::uint8_t code, std::size_t min_len, std::size_t max_len,
           Handler handler);
  void add(std::uint8_t code, std::size_t len, Handler handler) {
    add(code, len, len, std::move(handler));
  }
  /// A handler for an unframed single byte (no length, address or CRC).
  void add_raw(std::uint8_t byte, Handler handler);

  /// Runs the command: 0xFE for an unknown one, 0xFD for a wrong length.
  Response dispatch(Reader &reader, const Command &command) const;
  /// The handler for an unframed byte, if there is one.
  const Handler *raw(std::uint8_t byte) const;

 private:
  struct Entry {
    std::size_t min_len;
    std::size_t max_len;
    Handler handler;
  };
  std::map<std::uint8_t, Entry> entries_;
  std::map<std::uint8_t, Handler> raw_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_COMMAND_H
