// The one-truth document through the C++ layer (velkor.hpp): the seeded
// emulated reader's information after region 5 and 20 dBm, and one
// inventory's tags, as one JSON document on standard output.
#include <cstdio>
#include <iostream>

#include <nlohmann/json.hpp>

#include "emulator/velkor_emulator.h"
#include "velkor.hpp"

int main() {
  const VelkorHandle handle = velkor_emulator_start(1, 6, 2);
  if (handle < 0) return 2;
  try {
    velkor::Reader reader = velkor::Reader::adopt(handle);
    reader.set_region(static_cast<velkor::Region>(5));
    reader.set_power(20);
    const velkor::ReaderInfo i = reader.info();
    char serial[9];
    std::snprintf(serial, sizeof serial, "%02X%02X%02X%02X", i.serial[0], i.serial[1], i.serial[2],
                  i.serial[3]);
    nlohmann::json tags = nlohmann::json::array();
    for (const velkor::Tag &tag : reader.inventory()) {
      std::string epc;
      for (unsigned char b : tag.epc) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        epc += hex;
      }
      tags.push_back({{"epc", epc}, {"antenna", tag.antenna}});
    }
    const nlohmann::json document = {
        {"info",
         {{"serial", serial},
          {"firmware", std::to_string(i.firmware_major) + "." + std::to_string(i.firmware_minor)},
          {"gen2", i.gen2}, {"iso6b", i.iso6b}, {"region", i.region},
          {"lowest_channel", i.lowest_channel}, {"highest_channel", i.highest_channel},
          {"power_dbm", i.power}, {"scan_time_ms", i.scan_time_ms}, {"antenna", i.antenna},
          {"beep", i.beep}}},
        {"tags", tags}};
    std::cout << document.dump() << "\n";
    reader.release();  // the emulator closes its own end
  } catch (const std::exception &e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  velkor_emulator_stop(handle);
  return 0;
}
