// What a Gen2 tag allows: which tags answer, selection by mask, memory
// access within bank bounds, passwords, lock and permalock, block permalock
// and kill.  The command handlers decode frames; these rules decide.
//
// Passwords travel as four bytes, the first the most significant, the same
// order in which the reserved bank holds them: a password written with the
// memory commands as the bytes 11 22 33 44 is sent as 11 22 33 44.
//
// Access rules:
//  - A tag whose access password is zero is always in the secured state;
//    otherwise the lock, block-lock, privacy, EAS and Monza commands need its
//    access password (else tag error 0x04).
//  - A bank or password field locked by Lock_G2 needs the tag's access
//    password, and that password must not be zero (else tag error 0x04).
//    The EPC, TID and user banks stay readable when locked; the password
//    fields do not.  A permalocked field is never writable (nor readable, for
//    the password fields), and a permanent state cannot be changed.
//  - Words beyond the bank give tag error 0x03 (memory overrun); so does a
//    block beyond the user bank.
//  - Words in a user-memory block permalocked by BlockLock_G2 are never
//    writable.
//  - Kill needs the tag's kill password, which must not be zero; a tag with a
//    zero kill password, or a wrong kill password, refuses with tag error
//    0x00 (other error).
#ifndef VELKOR_EMULATOR_GEN2_TAG_ACCESS_H
#define VELKOR_EMULATOR_GEN2_TAG_ACCESS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "emulator/command.h"
#include "emulator/tags.h"

namespace velkor::emu {

/// A selection mask: bits compared with a bank from a bit address on, the
/// first mask bit against the most significant bit of the word it falls in.
struct MaskFilter {
  std::uint8_t bank = kEpcBank;
  std::uint16_t bit_address = 0;
  std::uint8_t bits = 0;
  Bytes bytes;  ///< ceil(bits / 8) bytes, the first bit the high bit of byte 0
};

/// What a tag operation came to: done, or a tag error code for status 0xFC,
/// or a reader status of its own (a parameter the reader refuses).
struct TagResult {
  std::uint8_t status = kStatusOk;
  std::uint8_t error = 0;

  static TagResult done() { return {}; }
  static TagResult tag_error(std::uint8_t code) { return {kStatusTagError, code}; }
  static TagResult refused(std::uint8_t status) { return {status, 0}; }
  bool ok() const { return status == kStatusOk; }
  /// The reply: data on success, the error code with 0xFC, nothing otherwise.
  Response response(Bytes data = {}) const;
};

/// Words of a user-memory block that BlockLock_G2 permalocks.
constexpr std::size_t kBlockWords = 8;

/// A tag answers inventories and selections unless killed or in privacy.
bool answers(const Gen2Tag &tag);
bool mask_matches(const Gen2Tag &tag, const MaskFilter &mask);
/// Whether the password puts the tag into its secured state.
bool secured(const Gen2Tag &tag, std::uint32_t password);

TagResult read_words(const Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                     std::size_t count, std::uint32_t password, Bytes &out);
/// Writes words from bytes (two per word, high byte first).
TagResult write_words(Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                      const Bytes &bytes, std::uint32_t password);
TagResult erase_words(Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                      std::size_t count, std::uint32_t password);
/// Replaces the EPC (PC length and stored CRC follow).
TagResult write_epc(Gen2Tag &tag, const Bytes &epc, std::uint32_t password);

/// Lock: field 0 kill password, 1 access password, 2 EPC, 3 TID, 4 user;
/// action 0 writable, 1 permanently writable, 2 writable with the access
/// password only, 3 never writable.  Other values: reader status 0xFF.
TagResult lock(Gen2Tag &tag, std::uint8_t field, std::uint8_t action,
               std::uint32_t password);
/// Permalocks user-memory block `block` (words 8 * block to 8 * block + 7).
TagResult block_lock(Gen2Tag &tag, std::uint8_t block, std::uint32_t password);
TagResult kill(Gen2Tag &tag, std::uint32_t kill_password);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_GEN2_TAG_ACCESS_H
