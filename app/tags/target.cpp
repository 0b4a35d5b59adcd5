#include "app/tags/target.h"

#include "app/tags/inventory_round.h"

namespace velkor::app {

std::string Target::text() const {
  return mask.used() ? "matching mask " + to_hex(mask.bytes) : to_hex(epc);
}

Result<Target> settle_target(Session &s, const Target &target, const char *operation) {
  if (target.named()) return target;
  const Round round = inventory_round(s, Mask{});
  if (round.status == VELKOR_STATUS_NO_TAG || (round.answered() && round.tags.empty()))
    return Error::because(ErrorKind::kNoTag, operation, "no tag in the field");
  if (!round.answered()) return Error::from_status(round.status, operation);
  if (round.tags.size() > 1) {
    Error e = Error::because(ErrorKind::kSeveralTags, operation,
                             std::to_string(round.tags.size()) +
                                 " tags in the field; name the one to change");
    e.tags = static_cast<int>(round.tags.size());
    return e;
  }
  Target settled = target;
  settled.epc = round.tags.front().epc;
  return settled;
}

TargetArgs::TargetArgs(const Target &t)
    : epc_(t.epc), password_(t.password), mask_(t.mask.bytes) {
  password_.resize(4);
  words_ = t.mask.used() ? 0xFF : static_cast<unsigned char>(t.epc.size() / 2);
  bank_ = static_cast<unsigned char>(t.mask.bank);
  mask_address_[0] = static_cast<unsigned char>(t.mask.bit_address >> 8);
  mask_address_[1] = static_cast<unsigned char>(t.mask.bit_address);
  mask_bits_ = t.mask.bit_count();
}

}  // namespace velkor::app
