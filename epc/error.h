// Filling the caller's error report.
#ifndef VELKOR_EPC_ERROR_H
#define VELKOR_EPC_ERROR_H

#include "velkor_epc.h"

namespace velkor::epc {

/// Writes status, field and "label: message" into the report when there is
/// one (label may be null), and returns the status.
[[gnu::format(printf, 5, 6)]] velkor_epc_status fail(velkor_epc_error *error,
                                                     velkor_epc_status status,
                                                     velkor_epc_field field, const char *label,
                                                     const char *format, ...);

}  // namespace velkor::epc

#endif  // VELKOR_EPC_ERROR_H
