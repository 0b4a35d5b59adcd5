// HID keyboard-output settings.  The switch to keyboard output itself is a
// control report, handled by the emulator's report side.
#include "emulator/config_commands.h"

namespace velkor::emu {

void register_keyboard_commands(CommandTable &table) {
  add_setters(table, {
      {0xA3, {{0, 1}}, [](Reader &r) { return &r.config.keyboard.beep; }},
      {0xA1, {{1, 4}, kAnyByte, {0, 15}, {0, 1}, {0, 1}, kAnyByte},
       [](Reader &r) { return r.config.keyboard.params.data(); }},
  });
  add_getters(table, {
      {0xA4, 1, [](const Reader &r) { return &r.config.keyboard.beep; }},
      {0xA2, 6, [](const Reader &r) { return r.config.keyboard.params.data(); }},
  });
}

}  // namespace velkor::emu
