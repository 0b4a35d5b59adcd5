// Work mode and automatic-inventory parameters.
//
// The parameter set (0x36) is the work mode, the inventory interval, the two
// automatic-mode response parameters, the tag type, the EAS sensitivity, the
// selection mask (bank, two address bytes, length in bits, 32 mask bytes),
// then the trigger time and the two TID parameters: 45 bytes, or the first
// 42 when the reader plays older firmware (Configuration::short_system_parameters).
#include <algorithm>

#include "emulator/config_commands.h"

namespace velkor::emu {

namespace {

constexpr std::size_t kMaskHeader = 4;  // bank, address (2), length in bits

Bytes system_parameters(const Reader &r) {
  const WorkParameters &w = r.config.work;
  Bytes out = {w.mode,        w.interval,        w.response[0],     w.response[1],
               w.tag_type,    w.eas_sensitivity, w.mask_bank,       w.mask_address[0],
               w.mask_address[1], w.mask_bits};
  out.insert(out.end(), w.mask.begin(), w.mask.end());
  if (!r.config.short_system_parameters)
    out.insert(out.end(), {w.trigger_time, w.tid[0], w.tid[1]});
  return out;
}

Response set_mask(Reader &r, const Command &c) {
  const std::size_t bits = c.data[3];
  const std::size_t n = (bits + 7) / 8;
  if (c.data.size() != kMaskHeader + n) return Response::status(kStatusLengthError);
  if (c.data[0] > 3) return Response::status(kStatusParameterError);
  WorkParameters &w = r.config.work;
  w.mask_bank = c.data[0];
  w.mask_address = {c.data[1], c.data[2]};
  w.mask_bits = c.data[3];
  w.mask.fill(0);
  std::copy(c.data.begin() + kMaskHeader, c.data.end(), w.mask.begin());
  return Response::ok();
}

}  // namespace

Response set_work_time(Reader &r, const Command &c) {
  if (c.data[0] != 0x00) return Response::status(kStatusParameterError);
  std::copy(c.data.begin() + 1, c.data.end(), r.config.work.work_time.begin());
  return Response::ok();
}

Response get_work_time(Reader &r, const Command &) {
  return Response::ok({0x00, r.config.work.work_time[0], r.config.work.work_time[1]});
}

void register_work_mode_commands(CommandTable &table) {
  add_setters(table, {
      {0x25, {{3, 255}}, [](Reader &r) { return &r.settings.scan_time; }},  // 100 ms units
      {0x35, {{0, 3}}, [](Reader &r) { return &r.config.work.mode; }},
      {0x37, {{0, 7}}, [](Reader &r) { return &r.config.work.eas_sensitivity; }},
      {0x49, {kAnyByte}, [](Reader &r) { return &r.config.work.trigger_time; }},
      {0x3C, {{0, 2}, {0, 1}}, [](Reader &r) { return r.config.work.response.data(); }},
      {0x3D, {kAnyByte}, [](Reader &r) { return &r.config.work.interval; }},
      {0x3E, {{0, 1}}, [](Reader &r) { return &r.config.work.tag_type; }},
      // Antennas 1 to 4 as bits 0 to 3; at least one must stay in use.
      {0x3F, {{1, 15}}, [](Reader &r) { return &r.settings.antenna; }},
      {0x40, {{0, 1}}, [](Reader &r) { return &r.settings.beep; }},
      {0x4A, {kAnyByte, kAnyByte}, [](Reader &r) { return r.config.work.tid.data(); }},
  });
  table.add(0x36, 0, [](Reader &r, const Command &) {
    return Response::ok(system_parameters(r));
  });
  table.add(0x3B, kMaskHeader, kMaskHeader + 32, set_mask);
  // The model keeps no automatic-mode tag buffer, so there is nothing to empty.
  table.add(0x44, 0, [](Reader &, const Command &) { return Response::ok(); });
  table.add(0x3A, 1, [](Reader &r, const Command &c) {  // answers the function in effect
    if (c.data[0] > 3) return Response::status(kStatusParameterError);
    r.config.work.custom_function = c.data[0];
    return Response::ok({r.config.work.custom_function});
  });
}

}  // namespace velkor::emu
