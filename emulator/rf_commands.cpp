// RF power, calibration and self-test.
//
// Reports composed from the state (config_state.h):
//  - start information (0x2D), nine bytes: firmware major and minor, the two
//    region bytes, power, DAC value, work mode, self-test flag, antenna check;
//  - adjustment block (0x65), 148 bytes: the nine A-value bytes, the DC
//    offset (2), the QS values (2), the power list (31), then factory
//    calibration bytes;
//  - check power (0x67): forward and reflected power in 0.1 dBm, least
//    significant byte first; the model antenna reflects 15 dB less than it
//    gets.
#include <algorithm>
#include <utility>

#include "emulator/config_commands.h"

namespace velkor::emu {

namespace {

constexpr std::size_t kAdjustBlock = 148;
constexpr std::uint32_t kLowestTestKhz = 840000, kHighestTestKhz = 960000;

// A power list is usable when its DAC values do not fall as the power rises.
std::uint8_t usable(const std::array<std::uint8_t, 31> &list) {
  return std::is_sorted(list.begin(), list.end()) ? 0x01 : 0x00;
}

void append(Bytes &out, const std::uint8_t *bytes, std::size_t n) {
  out.insert(out.end(), bytes, bytes + n);
}

void append_u16(Bytes &out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

Bytes start_information(const Reader &r) {
  return {r.identity.firmware[0], r.identity.firmware[1], r.settings.region_high,
          r.settings.region_low,  r.settings.power,       r.config.rf.dac,
          r.config.work.mode,     r.config.rf.self_test,  r.config.rf.check_antenna};
}

Bytes adjustment_block(const Reader &r) {
  const Calibration &rf = r.config.rf;
  Bytes block;
  append(block, rf.a_values.data(), rf.a_values.size());
  append(block, rf.dc_offset.data(), rf.dc_offset.size());
  append(block, rf.qs.data(), rf.qs.size());
  append(block, rf.power_list.data(), rf.power_list.size());
  for (std::size_t i = block.size(); i < kAdjustBlock; ++i)
    block.push_back(static_cast<std::uint8_t>(i * 7));
  return block;
}

Bytes check_power(const Reader &r) {
  const unsigned forward = r.settings.power * 10u;
  const unsigned reflected = forward > 150 ? forward - 150 : 0;
  Bytes out;
  append_u16(out, forward);
  append_u16(out, reflected);
  return out;
}

}  // namespace

Response set_test_frequency(Reader &r, const Command &c) {
  const std::uint32_t khz = c.data[0] | c.data[1] << 8 | c.data[2] << 16 |
                            static_cast<std::uint32_t>(c.data[3]) << 24;
  if (khz < kLowestTestKhz || khz > kHighestTestKhz || c.data[4] > 1)
    return Response::status(kStatusParameterError);
  std::copy_n(c.data.begin(), 4, r.config.rf.test_frequency.begin());
  r.config.rf.test_frequency_on = c.data[4];
  return Response::ok();
}

Response get_ad_value(Reader &r, const Command &c) {
  if (c.data[0] >= r.config.rf.ad.size()) return Response::status(kStatusParameterError);
  Bytes out;
  append_u16(out, r.config.rf.ad[c.data[0]]);
  return Response::ok(out);
}

void register_rf_commands(CommandTable &table) {
  add_setters(table, {
      {0x2F, {{0, 33}}, [](Reader &r) { return &r.settings.power; }},  // dBm
      {0x29, {kAnyByte}, [](Reader &r) { return &r.config.rf.dac; }},
      {0x30, {{0, 1}}, [](Reader &r) { return &r.config.rf.rf_output; }},
      {0x62, {{0, 3}, kAnyByte, kAnyByte, kAnyByte, kAnyByte, kAnyByte, kAnyByte,
              kAnyByte, kAnyByte},
       [](Reader &r) { return r.config.rf.a_values.data(); }},
      {0x66, {{0, 1}}, [](Reader &r) { return &r.config.rf.check_antenna; }},
      {0x81, {{0, 15}, {0, 15}}, [](Reader &r) { return r.config.rf.qs.data(); }},
      {0x6C, {kAnyByte, kAnyByte}, [](Reader &r) { return r.config.rf.dc_offset.data(); }},
  });
  add_getters(table, {
      {0x2A, 1, [](const Reader &r) { return &r.config.rf.dac; }},
      {0x82, 2, [](const Reader &r) { return r.config.rf.qs.data(); }},
  });
  table.add(0x2B, 0, [](Reader &r, const Command &) {
    return Response::ok({usable(r.config.rf.power_list)});
  });
  table.add(0x2C, 31, [](Reader &r, const Command &c) {
    std::copy(c.data.begin(), c.data.end(), r.config.rf.power_list.begin());
    return Response::ok({usable(r.config.rf.power_list)});
  });
  table.add(0x2D, 0, [](Reader &r, const Command &) {
    return Response::ok(start_information(r));
  });
  table.add(0x32, 0, [](Reader &r, const Command &) {  // carrier off; answers what it was
    const std::uint8_t was = std::exchange(r.config.rf.rf_output, std::uint8_t{0});
    return Response::ok({was});
  });
  table.add(0x26, 0, [](Reader &r, const Command &) {
    r.config.rf.self_test = true;
    return Response::ok();
  });
  table.add_raw(0xA5, [](Reader &r, const Command &) {  // the bare byte leaves self-test
    r.config.rf.self_test = false;
    return Response::ok();
  });
  table.add(0x65, 0, [](Reader &r, const Command &) {
    return Response::ok(adjustment_block(r));
  });
  table.add(0x67, 0, [](Reader &r, const Command &) { return Response::ok(check_power(r)); });
  table.add(0x84, 0, [](Reader &r, const Command &) {
    ++r.config.rf.flash_writes;
    return Response::ok();
  });
}

}  // namespace velkor::emu
