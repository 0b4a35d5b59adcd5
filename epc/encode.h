// Fields to EPC bank content, shared by every encoder and by the text forms,
// which check their fields this way before writing them.
#ifndef VELKOR_EPC_ENCODE_H
#define VELKOR_EPC_ENCODE_H

#include <cstddef>
#include <cstdint>

#include "velkor_epc.h"

namespace velkor::epc {

/// Checks the fields and, when epc is not null, writes them (as velkor_epc_encode).
velkor_epc_status pack(const velkor_epc_fields &fields, std::uint8_t *epc, std::size_t room,
                       std::size_t *length, velkor_epc_error *error);

/// Checks that the fields make an EPC.
inline velkor_epc_status check(const velkor_epc_fields &fields, velkor_epc_error *error) {
  return pack(fields, nullptr, 0, nullptr, error);
}

}  // namespace velkor::epc

#endif  // VELKOR_EPC_ENCODE_H
