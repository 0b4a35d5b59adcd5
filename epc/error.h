// Filling the caller's error report.
#ifndef VELKOR_EPC_ERROR_H
#define VELKOR_EPC_ERROR_H

#include "velkor_epc.h"

// MinGW builds use its own printf family (see CMakeLists.txt), which knows %zu.
#ifdef __MINGW32__
#  define VELKOR_EPC_PRINTF gnu_printf
#else
#  define VELKOR_EPC_PRINTF printf
#endif

namespace velkor::epc {

/// Writes status, field and "label: message" into the report when there is
/// one (label may be null), and returns the status.
[[gnu::format(VELKOR_EPC_PRINTF, 5, 6)]] velkor_epc_status fail(velkor_epc_error *error,
                                                     velkor_epc_status status,
                                                     velkor_epc_field field, const char *label,
                                                     const char *format, ...);

}  // namespace velkor::epc

#endif  // VELKOR_EPC_ERROR_H
