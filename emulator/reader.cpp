#include "emulator/reader.h"

namespace velkor::emu {

Reader::Reader(const ReaderOptions &options) : rng(options.seed) {
  tags = make_population(rng, options.gen2_tags, options.iso6b_tags);
  for (auto &b : identity.serial) b = rng.byte();
  feed.add(rng, options.feed);
  config.short_system_parameters = options.short_system_parameters;
  register_identity_commands(commands);
  register_gen2_commands(commands);
  register_iso6b_commands(commands);
  register_buffer_commands(commands);
  register_config_commands(commands);
}

Bytes Reader::information_block() const {
  return {identity.firmware[0], identity.firmware[1], identity.reader_type,
          identity.protocols,   settings.region_high, settings.region_low,
          settings.power,       settings.scan_time,   settings.antenna,
          settings.beep,        identity.comm_type,   0x00};
}

}  // namespace velkor::emu
