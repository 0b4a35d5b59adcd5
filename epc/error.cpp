// Error reports and the status texts.
#include "epc/error.h"

#include <cstdarg>
#include <cstdio>

namespace velkor::epc {

velkor_epc_status fail(velkor_epc_error *error, velkor_epc_status status,
                       velkor_epc_field field, const char *label, const char *format, ...) {
  if (error == nullptr) return status;
  error->status = status;
  error->field = field;
  const int used =
      label == nullptr ? 0 : std::snprintf(error->message, sizeof error->message, "%s: ", label);
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(error->message + used, sizeof error->message - used, format, args);
  va_end(args);
  return status;
}

}  // namespace velkor::epc

extern "C" const char *velkor_epc_status_text(velkor_epc_status status) {
  switch (status) {
    case VELKOR_EPC_OK: return "success";
    case VELKOR_EPC_BAD_ARGUMENT: return "argument out of range";
    case VELKOR_EPC_BAD_LENGTH: return "wrong length";
    case VELKOR_EPC_UNKNOWN_HEADER: return "unknown header";
    case VELKOR_EPC_BAD_PARTITION: return "invalid partition value";
    case VELKOR_EPC_BAD_FILTER: return "filter value outside 0 to 7";
    case VELKOR_EPC_TOO_LARGE: return "value too large for its field";
    case VELKOR_EPC_BAD_CHARACTER: return "character not allowed in the field";
    case VELKOR_EPC_LEADING_ZERO: return "leading zero in an integer field";
    case VELKOR_EPC_BAD_CHECK_DIGIT: return "wrong check digit";
    case VELKOR_EPC_BAD_SYNTAX: return "not an EPC URI of a known scheme";
    case VELKOR_EPC_NONZERO_PADDING: return "reserved or padding bits not zero";
    case VELKOR_EPC_NO_GS1_FORM: return "the scheme has no GS1 element string";
    case VELKOR_EPC_BUFFER_TOO_SMALL: return "output buffer too small";
  }
  return "unknown status";
}
