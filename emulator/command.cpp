#include "emulator/command.h"

namespace velkor::emu {

void CommandTable::add(std::uint8_t code, std::size_t min_len,
                       std::size_t max_len, Handler handler) {
  entries_[code] = {min_len, max_len, std::move(handler)};
}

void CommandTable::add_raw(std::uint8_t byte, Handler handler) {
  raw_[byte] = std::move(handler);
}

Response CommandTable::dispatch(Reader &reader, const Command &command) const {
  const auto it = entries_.find(command.code);
  if (it == entries_.end()) return Response::status(kStatusUnknownCommand);
  const Entry &e = it->second;
  if (command.data.size() < e.min_len || command.data.size() > e.max_len)
    return Response::status(kStatusLengthError);
  return e.handler(reader, command);
}

const Handler *CommandTable::raw(std::uint8_t byte) const {
  const auto it = raw_.find(byte);
  return it == raw_.end() ? nullptr : &it->second;
}

}  // namespace velkor::emu
