// The tags in the emulated reader's field.
#ifndef VELKOR_EMULATOR_TAGS_H
#define VELKOR_EMULATOR_TAGS_H

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "emulator/rng.h"
#include "emulator/wire.h"

namespace velkor::emu {

/// Gen2 memory banks, by their bank number on the air.
enum Bank : std::uint8_t { kReserved = 0, kEpcBank = 1, kTidBank = 2, kUserBank = 3 };

/// What a Gen2 lock field allows.
enum class LockState : std::uint8_t { kOpen, kLocked, kPermaOpen, kPermaLocked };

/// The five lock fields of a Gen2 tag.
enum LockField : std::size_t {
  kKillPasswordLock,
  kAccessPasswordLock,
  kEpcLock,
  kTidLock,
  kUserLock,
  kLockFieldCount,
};

/// Gen2 tag error codes the reader reports with status 0xFC.
enum : std::uint8_t {
  kTagErrorOther = 0x00,
  kTagErrorMemoryOverrun = 0x03,
  kTagErrorMemoryLocked = 0x04,
  kTagErrorInsufficientPower = 0x0B,
  kTagErrorNonSpecific = 0x0F,
};

/// The Gen2 CRC-16 (polynomial 0x1021 most significant bit first, preset
/// 0xFFFF, complemented) that a tag stores ahead of its PC and EPC.
std::uint16_t gen2_crc16(const Bytes &bytes);

struct Gen2Tag {
  /// Words of each bank, most significant byte first on the air.  Reserved:
  /// kill password (2 words), access password (2 words).  EPC: stored CRC,
  /// PC, then the EPC words.
  std::array<std::vector<std::uint16_t>, 4> banks;
  std::array<LockState, kLockFieldCount> lock{};
  bool killed = false;
  bool privacy = false;          ///< hidden from inventories while set
  bool eas = false;              ///< raises the EAS alarm while set
  std::uint32_t permalocked_blocks = 0;  ///< user-memory blocks (bit k: words 8k..8k+7)
  std::uint8_t monza_qt = 0;     ///< Monza 4QT work parameter

  std::uint32_t kill_password() const;
  std::uint32_t access_password() const;
  /// The EPC as bytes, as long as the PC word says.
  Bytes epc() const;
  /// Replaces the EPC, updating the PC length field and the stored CRC.
  void set_epc(const Bytes &epc);
  /// Recomputes the stored CRC over PC and EPC.
  void update_stored_crc();
};

/// An ISO 18000-6B tag: 8-byte identifier and byte memory with per-byte locks.
struct Iso6bTag {
  static constexpr std::size_t kMemorySize = 224;
  std::array<std::uint8_t, 8> id{};
  std::array<std::uint8_t, kMemorySize> memory{};  ///< bytes 0-7 hold the id
  std::bitset<kMemorySize> locked;                 ///< the id bytes come locked
};

struct Population {
  std::vector<Gen2Tag> gen2;
  std::vector<Iso6bTag> iso6b;
};

/// A reproducible population: 96-bit EPCs, 6-word TIDs, 32 words of user
/// memory, zero passwords, nothing locked.
Population make_population(Rng &rng, std::size_t gen2_count,
                           std::size_t iso6b_count);

Gen2Tag make_gen2_tag(Rng &rng);
Iso6bTag make_iso6b_tag(Rng &rng);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_TAGS_H
