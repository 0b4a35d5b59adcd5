#include "tools/serve/tag_names.h"

#include <array>

#include "tools/serve/api_error.h"
#include "velkor.h"

namespace velkor::serve {

namespace {

struct Named {
  const char *name;
  int value;
};

template <std::size_t N>
int named(const std::array<Named, N> &names, const std::string &text, const std::string &what) {
  std::string known;
  for (const Named &n : names) {
    if (text == n.name) return n.value;
    known += std::string(known.empty() ? "" : ", ") + n.name;
  }
  throw ApiError(Refusal::kBadInput, what + ": must be one of " + known);
}

}  // namespace

int bank_number(const std::string &name, const std::string &what) {
  static constexpr std::array<Named, 4> kBanks = {{{"reserved", VELKOR_BANK_RESERVED},
                                                   {"epc", VELKOR_BANK_EPC},
                                                   {"tid", VELKOR_BANK_TID},
                                                   {"user", VELKOR_BANK_USER}}};
  return named(kBanks, name, what);
}

int lock_field(const std::string &name, const std::string &what) {
  static constexpr std::array<Named, 5> kFields = {{{"kill", VELKOR_LOCK_KILL_PASSWORD},
                                                    {"access", VELKOR_LOCK_ACCESS_PASSWORD},
                                                    {"epc", VELKOR_LOCK_EPC},
                                                    {"tid", VELKOR_LOCK_TID},
                                                    {"user", VELKOR_LOCK_USER}}};
  return named(kFields, name, what);
}

int lock_action(const std::string &name, const std::string &what) {
  static constexpr std::array<Named, 4> kActions = {
      {{"unlock", VELKOR_LOCK_WRITABLE},
       {"permaunlock", VELKOR_LOCK_PERMANENTLY_WRITABLE},
       {"lock", VELKOR_LOCK_SECURED},
       {"permalock", VELKOR_LOCK_PERMANENTLY_LOCKED}}};
  return named(kActions, name, what);
}

}  // namespace velkor::serve
