#include "emulator/config_commands.h"

#include <algorithm>

namespace velkor::emu {

bool within(const Bytes &data, const std::vector<Range> &ranges) {
  for (std::size_t i = 0; i < ranges.size(); ++i)
    if (data[i] < ranges[i].lowest || data[i] > ranges[i].highest) return false;
  return true;
}

void add_setters(CommandTable &table, std::initializer_list<Setter> setters) {
  for (const Setter &s : setters)
    table.add(s.code, s.ranges.size(), [s](Reader &r, const Command &c) {
      if (!within(c.data, s.ranges)) return Response::status(kStatusParameterError);
      std::copy(c.data.begin(), c.data.end(), s.place(r));
      return Response::ok();
    });
}

void add_getters(CommandTable &table, std::initializer_list<Getter> getters) {
  for (const Getter &g : getters)
    table.add(g.code, 0, [g](Reader &r, const Command &) {
      const std::uint8_t *place = g.place(r);
      return Response::ok(Bytes(place, place + g.size));
    });
}

void register_config_commands(CommandTable &table) {
  register_region_commands(table);
  register_rf_commands(table);
  register_work_mode_commands(table);
  register_io_commands(table);
  register_keyboard_commands(table);
  table.add(0x60, 3, 5, [](Reader &r, const Command &c) {
    if (c.data.size() == 4) return Response::status(kStatusLengthError);
    return c.data.size() == 5 ? set_test_frequency(r, c) : set_work_time(r, c);
  });
  table.add(0x61, 0, 1, [](Reader &r, const Command &c) {
    return c.data.empty() ? get_work_time(r, c) : get_ad_value(r, c);
  });
}

}  // namespace velkor::emu
