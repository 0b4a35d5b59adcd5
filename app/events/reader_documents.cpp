#include "app/events/reader_documents.h"

#include "app/reader/channel_plan.h"

namespace velkor::app::events {

Json info_document(int index, const std::string &path, int address, const ReaderInfo &info) {
  return {{"reader", index},
          {"path", path},
          {"address", address},
          {"serial", to_hex(info.serial.data(), info.serial.size())},
          {"firmware", std::to_string(info.firmware_major) + "." +
                           std::to_string(info.firmware_minor)},
          {"type", info.type},
          {"gen2", info.gen2},
          {"iso6b", info.iso6b},
          {"region", info.region.region},
          {"lowest_channel", info.region.lowest},
          {"highest_channel", info.region.highest},
          {"power_dbm", info.power_dbm},
          {"scan_time_ms", info.scan_time_ms},
          {"antenna", info.antenna},
          {"beep", info.beep}};
}

Json config_document(const ReaderConfig &c) {
  return {{"mode", c.mode},
          {"mode_name", work_mode_name(c.mode)},
          {"interval", c.interval},
          {"response", {c.response[0], c.response[1]}},
          {"tag_type", c.tag_type},
          {"tag_type_name", tag_type_name(c.tag_type)},
          {"eas_sensitivity", c.eas_sensitivity},
          {"mask",
           {{"bank", c.mask.bank},
            {"bit_address", c.mask.bit_address},
            {"bits", c.mask.bit_count()},
            {"data", to_hex(c.mask.bytes)}}},
          {"trigger_time", c.trigger_time},
          {"tid", {c.tid[0], c.tid[1]}},
          {"work_time", {c.work_time[0], c.work_time[1]}},
          {"scan_time_ms", c.scan_time_ms},
          {"antenna", c.antenna}};
}

Json region_document(const ReaderInfo &info, bool raw) {
  const Region &r = info.region;
  const std::vector<std::string> plan = channel_plan(r.region);
  Json doc = {{"region", r.region},
              {"lowest_channel", r.lowest},
              {"highest_channel", r.highest},
              {"lowest_frequency", channel_text(plan, r.lowest)},
              {"highest_frequency", channel_text(plan, r.highest)}};
  if (raw)
    doc["raw"] = {{"bytes", to_hex(info.block.data() + 4, 2)},
                  {"region", info.packed.region},
                  {"lowest_channel", info.packed.lowest},
                  {"highest_channel", info.packed.highest}};
  return doc;
}

Json channels_document(int region, const std::vector<std::string> &plan) {
  Json list = Json::array();
  for (std::size_t i = 0; i < plan.size(); ++i)
    list.push_back({{"channel", i}, {"frequency", plan[i]}});
  return {{"region", region}, {"channels", list}};
}

Json power_document(int dbm) { return {{"power_dbm", dbm}}; }

Json clock_document(const ClockBlock &block) {
  const std::optional<std::string> date = format_clock(block);
  return {{"time", date ? Json(*date) : Json(nullptr)}, {"raw", to_hex(block.data(), block.size())}};
}

Json gpio_document(int status) {
  Json lines = Json::array();
  for (int bit = 0; bit < 8; ++bit) lines.push_back((status >> bit) & 1);
  return {{"gpio", status}, {"bits", lines}};
}

Json memory_document(int bank, int pointer, int words, const Bytes &data) {
  return {{"bank", bank}, {"addr", pointer}, {"words", words}, {"data", to_hex(data)}};
}

}  // namespace velkor::app::events
