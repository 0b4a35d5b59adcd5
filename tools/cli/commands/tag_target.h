// How a Gen2 command names its tag: --epc, or a selection mask (--mask-bank,
// --mask-addr, --mask, --mask-bits), or neither (the first tag that
// answers); and the access password.  Defined once for every subcommand that
// takes them.
#ifndef VELKOR_TOOLS_TAG_TARGET_H
#define VELKOR_TOOLS_TAG_TARGET_H

#include <CLI/CLI.hpp>
#include <array>

#include "app/base/hex.h"
#include "app/tags/mask.h"
#include "tools/cli/options.h"

namespace velkor::tool {

/// Gen2 memory banks by name.
extern const Names kBanks;

/// The selection mask's options.
struct MaskOptions : Mask {
  CLI::Option *given = nullptr;

  /// Adds --mask (described as given), --mask-bank, --mask-addr and
  /// --mask-bits.
  void add_to(CLI::App *command, const std::string &description);
  bool used() const { return given != nullptr && given->count() > 0; }
  /// Throws CLI::ValidationError unless the bit count fits the bytes.
  void validate() const;

  /// The bit address as the reader takes it, high byte first.
  unsigned char *address() {
    address_bytes = {static_cast<unsigned char>(bit_address >> 8),
                     static_cast<unsigned char>(bit_address)};
    return address_bytes.data();
  }
  unsigned char *data() { return bytes.empty() ? &none : bytes.data(); }
  unsigned char memory() const { return static_cast<unsigned char>(bank); }

 private:
  std::array<unsigned char, 2> address_bytes{};
  unsigned char none = 0;
};

/// The access password, four bytes as the tag holds them: --password,
/// --password-file or $VELKOR_TAG_PASSWORD.
struct PasswordOption {
  Bytes bytes{0, 0, 0, 0};
  bool given = false;
  CLI::Option *add_to(CLI::App *command, const std::string &description =
                                              "access password, 8 hex digits (default 00000000)");
  unsigned char *data() { return bytes.data(); }
};

/// Tag, mask and password of a Gen2 tag command.
struct TargetOptions {
  Bytes epc;
  MaskOptions mask;
  PasswordOption password;

  /// Adds --epc, the mask options and --password.
  void add_to(CLI::App *command, const std::string &password_description = "");
  void validate() const { mask.validate(); }

  bool named() const { return !epc.empty() || mask.used(); }
  /// E: the identifier's words, 0xFF for the mask form, 0 for any tag.
  unsigned char enum_words() const {
    return mask.used() ? 0xFF : static_cast<unsigned char>(epc.size() / 2);
  }
  unsigned char *epc_data() { return epc.empty() ? &none : epc.data(); }

  /// The check for add_command, for options that hold a target.
  template <typename Options>
  static void check(const Options &o) {
    o.target.validate();
  }

 private:
  unsigned char none = 0;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_TARGET_H
