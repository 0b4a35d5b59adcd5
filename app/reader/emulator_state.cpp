#include "app/reader/emulator_state.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

#include "app/base/hex.h"

namespace velkor::app {

namespace {

using nlohmann::json;

// Raised for a field of the wrong shape; caught once in load_emulator_state.
struct BadState {
  std::string what;
};

// Up to 32 characters of a value, as JSON writes it (control characters
// escaped), for a message.
std::string shown(const json &value) {
  const std::string text = value.dump();
  return text.size() <= 32 ? text : text.substr(0, 32) + "...";
}

// A whole number that fits T, or BadState naming what it is: a value out
// of range is refused, never wrapped and saved back.
template <typename T>
T number_of(const json &value, const std::string &what) {
  constexpr std::uint64_t kMost = std::numeric_limits<T>::max();
  const bool fits = value.is_number_unsigned()  ? value.get<std::uint64_t>() <= kMost
                    : value.is_number_integer() ? value.get<std::int64_t>() >= 0 &&
                                                      std::uint64_t(value.get<std::int64_t>()) <= kMost
                                                : false;
  if (!fits)
    throw BadState{what + " is " + shown(value) + ", not a number from 0 to " + std::to_string(kMost)};
  return static_cast<T>(value.get<std::uint64_t>());
}

template <typename T>
T number_at(const json &j, const char *key) {
  return number_of<T>(j.at(key), std::string("'") + key + "'");
}

template <typename Container>
std::string hex_of(const Container &c) {
  return to_hex(Bytes(c.begin(), c.end()));
}

Bytes bytes_of(const json &j, const char *key) {
  const std::optional<Bytes> b = parse_hex(j.at(key).get<std::string>(), nullptr);
  if (!b) throw BadState{std::string("'") + key + "' is not hex"};
  return *b;
}

template <std::size_t N>
void fill(std::array<std::uint8_t, N> &out, const json &j, const char *key) {
  const Bytes b = bytes_of(j, key);
  if (b.size() != N) throw BadState{std::string("'") + key + "' is not " + std::to_string(N) + " bytes"};
  std::copy(b.begin(), b.end(), out.begin());
}

json gen2_to_json(const emu::Gen2Tag &t) {
  json banks = json::array();
  for (const std::vector<std::uint16_t> &bank : t.banks) banks.push_back(bank);
  json lock = json::array();
  for (emu::LockState l : t.lock) lock.push_back(static_cast<int>(l));
  return {{"banks", banks},     {"lock", lock},       {"killed", t.killed},
          {"privacy", t.privacy}, {"eas", t.eas},
          {"permalocked_blocks", t.permalocked_blocks}, {"qt", t.monza_qt}};
}

emu::Gen2Tag gen2_from_json(const json &j) {
  emu::Gen2Tag t;
  const json &banks = j.at("banks");
  if (banks.size() != t.banks.size()) throw BadState{"a Gen2 tag needs 4 banks"};
  for (std::size_t i = 0; i < t.banks.size(); ++i) {
    if (!banks[i].is_array()) throw BadState{"a Gen2 tag's bank is not a list of words"};
    t.banks[i].clear();
    for (const json &word : banks[i]) t.banks[i].push_back(number_of<std::uint16_t>(word, "a word"));
  }
  if (t.banks[emu::kEpcBank].empty()) throw BadState{"a Gen2 tag's EPC bank is empty"};
  const json &lock = j.at("lock");
  if (lock.size() != t.lock.size()) throw BadState{"a Gen2 tag needs 5 lock states"};
  for (std::size_t i = 0; i < t.lock.size(); ++i) {
    const int l = number_of<std::uint8_t>(lock[i], "a lock state");
    if (l < 0 || l > 3) throw BadState{"lock state " + std::to_string(l)};
    t.lock[i] = static_cast<emu::LockState>(l);
  }
  t.killed = j.at("killed").get<bool>();
  t.privacy = j.at("privacy").get<bool>();
  t.eas = j.at("eas").get<bool>();
  t.permalocked_blocks = number_at<std::uint32_t>(j, "permalocked_blocks");
  t.monza_qt = number_at<std::uint8_t>(j, "qt");
  return t;
}

json iso6b_to_json(const emu::Iso6bTag &t) {
  return {{"id", hex_of(t.id)}, {"memory", hex_of(t.memory)}, {"locked", t.locked.to_string()}};
}

emu::Iso6bTag iso6b_from_json(const json &j) {
  emu::Iso6bTag t;
  fill(t.id, j, "id");
  fill(t.memory, j, "memory");
  const std::string locked = j.at("locked").get<std::string>();
  if (locked.size() != t.locked.size() || locked.find_first_not_of("01") != std::string::npos)
    throw BadState{"'locked' is not " + std::to_string(t.locked.size()) + " bits"};
  t.locked = std::bitset<emu::Iso6bTag::kMemorySize>(locked);
  return t;
}

json work_to_json(const emu::WorkParameters &w) {
  return {{"mode", w.mode},
          {"interval", w.interval},
          {"response", hex_of(w.response)},
          {"tag_type", w.tag_type},
          {"eas_sensitivity", w.eas_sensitivity},
          {"trigger_time", w.trigger_time},
          {"mask_bank", w.mask_bank},
          {"mask_address", hex_of(w.mask_address)},
          {"mask_bits", w.mask_bits},
          {"mask", hex_of(w.mask)},
          {"tid", hex_of(w.tid)},
          {"custom_function", w.custom_function},
          {"work_time", hex_of(w.work_time)}};
}

void work_from_json(const json &j, emu::WorkParameters &w) {
  w.mode = number_at<std::uint8_t>(j, "mode");
  w.interval = number_at<std::uint8_t>(j, "interval");
  fill(w.response, j, "response");
  w.tag_type = number_at<std::uint8_t>(j, "tag_type");
  w.eas_sensitivity = number_at<std::uint8_t>(j, "eas_sensitivity");
  w.trigger_time = number_at<std::uint8_t>(j, "trigger_time");
  w.mask_bank = number_at<std::uint8_t>(j, "mask_bank");
  fill(w.mask_address, j, "mask_address");
  w.mask_bits = number_at<std::uint8_t>(j, "mask_bits");
  fill(w.mask, j, "mask");
  fill(w.tid, j, "tid");
  w.custom_function = number_at<std::uint8_t>(j, "custom_function");
  fill(w.work_time, j, "work_time");
}

// The tags still to be placed one at a time, and the one placed last.
json feed_to_json(const emu::TagFeed &f) {
  json waiting = json::array();
  for (const emu::Gen2Tag &t : f.waiting) waiting.push_back(gen2_to_json(t));
  return {{"waiting", waiting},
          {"placed", f.placed ? json(*f.placed) : json()},
          {"placed_epc", to_hex(f.placed_epc)}};
}

void feed_from_json(const json &j, emu::TagFeed &f) {
  f = {};
  for (const json &t : j.at("waiting")) f.waiting.push_back(gen2_from_json(t));
  if (!j.at("placed").is_null()) f.placed = number_at<std::uint32_t>(j, "placed");
  f.placed_epc = bytes_of(j, "placed_epc");
}

// The random sequence as 16 hex digits (a JSON number that large is not
// exact in every reader of the file).
json rng_to_json(const emu::Rng &rng) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(rng.state()));
  return text;
}

void rng_from_json(const json &j, emu::Rng &rng) {
  const std::string text = j.get<std::string>();
  if (text.size() != 16 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw BadState{"'rng' is not 16 hex digits"};
  rng.restore(std::stoull(text, nullptr, 16));
}

}  // namespace

std::string save_emulator_state(const emu::Reader &r) {
  const emu::Settings &s = r.settings;
  const emu::IoLines &io = r.config.io;
  json gen2 = json::array(), iso6b = json::array(), buffer = json::array();
  for (const emu::Gen2Tag &t : r.tags.gen2) gen2.push_back(gen2_to_json(t));
  for (const emu::Iso6bTag &t : r.tags.iso6b) iso6b.push_back(iso6b_to_json(t));
  for (const emu::Bytes &epc : r.buffer.epcs) buffer.push_back(to_hex(epc));
  const json state = {
      {"address", r.identity.address},
      {"settings",
       {{"region", hex_of(std::array<std::uint8_t, 2>{s.region_high, s.region_low})},
        {"power", s.power},
        {"scan_time", s.scan_time},
        {"antenna", s.antenna},
        {"beep", s.beep}}},
      {"work", work_to_json(r.config.work)},
      {"io",
       {{"clock", hex_of(io.clock)},
        {"gpio_out", io.gpio_out},
        {"relay", io.relay},
        {"pulse_output", io.pulse_output}}},
      {"gen2", gen2},
      {"iso6b", iso6b},
      {"buffer", {{"save_length", r.buffer.save_length}, {"epcs", buffer}}},
      {"feed", feed_to_json(r.feed)},
      {"rng", rng_to_json(r.rng)},
  };
  return state.dump(1) + "\n";
}

bool load_emulator_state(const std::string &text, emu::Reader &reader, std::string *error) {
  emu::Reader r = reader;
  try {
    const json j = json::parse(text);
    r.identity.address = number_at<std::uint8_t>(j, "address");
    const json &s = j.at("settings");
    std::array<std::uint8_t, 2> region{};
    fill(region, s, "region");
    r.settings.region_high = region[0];
    r.settings.region_low = region[1];
    r.settings.power = number_at<std::uint8_t>(s, "power");
    r.settings.scan_time = number_at<std::uint8_t>(s, "scan_time");
    r.settings.antenna = number_at<std::uint8_t>(s, "antenna");
    r.settings.beep = number_at<std::uint8_t>(s, "beep");
    work_from_json(j.at("work"), r.config.work);
    const json &io = j.at("io");
    fill(r.config.io.clock, io, "clock");
    r.config.io.gpio_out = number_at<std::uint8_t>(io, "gpio_out");
    r.config.io.relay = number_at<std::uint8_t>(io, "relay");
    r.config.io.pulse_output = number_at<std::uint8_t>(io, "pulse_output");
    r.tags.gen2.clear();
    for (const json &t : j.at("gen2")) r.tags.gen2.push_back(gen2_from_json(t));
    r.tags.iso6b.clear();
    for (const json &t : j.at("iso6b")) r.tags.iso6b.push_back(iso6b_from_json(t));
    const json &buffer = j.at("buffer");
    r.buffer.save_length = number_at<std::uint8_t>(buffer, "save_length");
    r.buffer.epcs.clear();
    for (const json &epc : buffer.at("epcs")) {
      const std::optional<Bytes> b = parse_hex(epc.get<std::string>(), nullptr);
      if (!b) throw BadState{"a buffered EPC is not hex"};
      r.buffer.epcs.push_back(*b);
    }
    // Files written before the feed existed have none.
    if (j.contains("feed")) feed_from_json(j.at("feed"), r.feed);
    // Nor where the random sequence stood: the seed's start stands in.
    if (j.contains("rng")) rng_from_json(j.at("rng"), r.rng);
  } catch (const BadState &e) {
    *error = e.what;
    return false;
  } catch (const json::exception &e) {
    // "[json.exception.out_of_range.403] key 'gen2' not found": the part after the tag.
    const std::string what = e.what();
    const std::size_t cut = what.find("] ");
    *error = cut == std::string::npos ? what : what.substr(cut + 2);
    return false;
  }
  reader = std::move(r);
  return true;
}

}  // namespace velkor::app
