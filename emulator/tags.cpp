#include "emulator/tags.h"

namespace velkor::emu {

namespace {

std::uint16_t word(Rng &rng) { return static_cast<std::uint16_t>(rng.next()); }

}  // namespace

std::uint16_t gen2_crc16(const Bytes &bytes) {
  std::uint16_t reg = 0xFFFF;
  for (std::uint8_t b : bytes) {
    reg ^= static_cast<std::uint16_t>(b << 8);
    for (int i = 0; i < 8; ++i)
      reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ 0x1021)
                           : static_cast<std::uint16_t>(reg << 1);
  }
  return static_cast<std::uint16_t>(~reg);
}

std::uint32_t Gen2Tag::kill_password() const {
  const auto &r = banks[kReserved];
  return (std::uint32_t{r[0]} << 16) | r[1];
}

std::uint32_t Gen2Tag::access_password() const {
  const auto &r = banks[kReserved];
  return (std::uint32_t{r[2]} << 16) | r[3];
}

Bytes Gen2Tag::epc() const {
  const auto &e = banks[kEpcBank];
  const std::size_t words = e.size() > 1 ? (e[1] >> 11) : 0;
  Bytes out;
  for (std::size_t i = 0; i < words && 2 + i < e.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(e[2 + i] >> 8));
    out.push_back(static_cast<std::uint8_t>(e[2 + i]));
  }
  return out;
}

void Gen2Tag::set_epc(const Bytes &epc) {
  auto &e = banks[kEpcBank];
  const std::size_t words = (epc.size() + 1) / 2;
  if (e.size() < 2 + words) e.resize(2 + words, 0);
  for (std::size_t i = 0; i < words; ++i) {
    const std::uint8_t hi = epc[2 * i];
    const std::uint8_t lo = 2 * i + 1 < epc.size() ? epc[2 * i + 1] : 0;
    e[2 + i] = static_cast<std::uint16_t>((hi << 8) | lo);
  }
  e[1] = static_cast<std::uint16_t>((e[1] & 0x07FF) | (words << 11));
  update_stored_crc();
}

void Gen2Tag::update_stored_crc() {
  auto &e = banks[kEpcBank];
  Bytes covered = {static_cast<std::uint8_t>(e[1] >> 8), static_cast<std::uint8_t>(e[1])};
  const Bytes id = epc();
  covered.insert(covered.end(), id.begin(), id.end());
  e[0] = gen2_crc16(covered);
}

Gen2Tag make_gen2_tag(Rng &rng) {
  Gen2Tag tag;
  tag.banks[kReserved].assign(4, 0);
  tag.banks[kEpcBank] = {0, 0x3000};
  for (int i = 0; i < 6; ++i) tag.banks[kEpcBank].push_back(word(rng));
  tag.update_stored_crc();
  tag.banks[kTidBank] = {0xE200, static_cast<std::uint16_t>(0x1000 | rng.below(0x1000))};
  for (int i = 0; i < 4; ++i) tag.banks[kTidBank].push_back(word(rng));
  tag.banks[kUserBank].assign(32, 0);
  return tag;
}

Iso6bTag make_iso6b_tag(Rng &rng) {
  Iso6bTag tag;
  tag.id[0] = 0xE0;
  for (std::size_t i = 1; i < tag.id.size(); ++i) tag.id[i] = rng.byte();
  for (std::size_t i = 0; i < tag.id.size(); ++i) {
    tag.memory[i] = tag.id[i];
    tag.locked.set(i);
  }
  return tag;
}

Population make_population(Rng &rng, std::size_t gen2_count,
                           std::size_t iso6b_count) {
  Population p;
  for (std::size_t i = 0; i < gen2_count; ++i) p.gen2.push_back(make_gen2_tag(rng));
  for (std::size_t i = 0; i < iso6b_count; ++i) p.iso6b.push_back(make_iso6b_tag(rng));
  return p;
}

}  // namespace velkor::emu
