#include "tools/cli/commands/tag_target.h"

#include "tools/cli/password_options.h"

namespace velkor::tool {

const Names kBanks = {{"reserved", 0}, {"epc", 1}, {"tid", 2}, {"user", 3}};

namespace {
// The longest identifier a request can name (31 words) and the longest mask.
constexpr std::size_t kMostEpcBytes = 62;
constexpr std::size_t kMostMaskBytes = 32;
}  // namespace

void MaskOptions::add_to(CLI::App *command, const std::string &description) {
  given = add_hex(command, "--mask", bytes, 1, kMostMaskBytes, description);
  add_named(command, "--mask-bank", bank, "bank", kBanks, 0, 3,
            "bank the mask is compared with (default epc)")
      ->needs(given);
  add_number(command, "--mask-addr", bit_address, 0, 0xFFFF,
             "bit address in the bank where the mask starts (default 32, the EPC)")
      ->needs(given);
  add_number(command, "--mask-bits", bits, 1, 255,
             "mask length in bits (default: every bit of --mask)")
      ->needs(given);
}

void MaskOptions::validate() const {
  // The bit count travels in one byte: 32 whole bytes would read as 0 bits,
  // a mask that matches every tag.
  if (bits < 0 && 8 * bytes.size() > 255)
    throw CLI::ValidationError("--mask", "a mask of " + std::to_string(bytes.size()) +
                                             " bytes needs --mask-bits (at most 255)");
  if (bits < 0) return;
  const std::size_t whole = (std::size_t(bits) + 7) / 8;
  if (whole != bytes.size())
    throw CLI::ValidationError("--mask-bits",
                               std::to_string(bits) + " bits take " + std::to_string(whole) +
                                   " mask bytes, --mask has " + std::to_string(bytes.size()));
}

CLI::Option *PasswordOption::add_to(CLI::App *command, const std::string &description) {
  return add_password(command, "--password", kTagPasswordVariable, description, &bytes, &given);
}

void TargetOptions::add_to(CLI::App *command, const std::string &password_description) {
  CLI::Option *by_epc = add_hex(command, "--epc", epc, 2, kMostEpcBytes,
                                "the tag's EPC (hex, whole words); default: the only tag "
                                "in the field",
                                true);
  mask.add_to(command, "name the tag by these mask bits (hex) instead of its EPC");
  by_epc->excludes(mask.given);
  if (password_description.empty())
    password.add_to(command);
  else
    password.add_to(command, password_description);
}

}  // namespace velkor::tool
