// Indicators, clock and I/O lines.
#include "emulator/config_commands.h"

namespace velkor::emu {

namespace {

// A clock block of year - 2000, month, day, hour, minute, second.
bool valid_clock(const Bytes &c) {
  static constexpr std::uint8_t kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (c[0] > 99 || c[1] < 1 || c[1] > 12 || c[2] < 1) return false;
  const bool leap = c[0] % 4 == 0;  // 2000 to 2099
  const unsigned days = c[1] == 2 && !leap ? 28u : kDays[c[1] - 1];
  return c[2] <= days && c[3] <= 23 && c[4] <= 59 && c[5] <= 59;
}

}  // namespace

void register_io_commands(CommandTable &table) {
  add_setters(table, {
      {0x33, {kAnyByte, kAnyByte, kAnyByte},
       [](Reader &r) { return r.config.io.buzzer_led.data(); }},
      {0x45, {{0, 1}}, [](Reader &r) { return &r.config.io.relay; }},
      {0x27, {kAnyByte}, [](Reader &r) { return &r.config.io.rev_delay; }},
      {0x46, {{0, 3}}, [](Reader &r) { return &r.config.io.gpio_out; }},  // two outputs
      {0x48, {{0, 1}}, [](Reader &r) { return &r.config.io.pulse_output; }},
  });
  add_getters(table, {
      {0x42, 6, [](const Reader &r) { return r.config.io.clock.data(); }},
      {0x31, 1, [](const Reader &r) { return &r.config.io.rev_delay; }},
  });
  table.add(0x41, 6, [](Reader &r, const Command &c) {
    if (!valid_clock(c.data)) return Response::status(kStatusParameterError);
    std::copy(c.data.begin(), c.data.end(), r.config.io.clock.begin());
    return Response::ok();
  });
  // Inputs in bits 4-5, outputs as set in bits 0-1.
  table.add(0x47, 0, [](Reader &r, const Command &) {
    return Response::ok(
        {static_cast<std::uint8_t>(r.config.io.gpio_in << 4 | r.config.io.gpio_out)});
  });
}

}  // namespace velkor::emu
