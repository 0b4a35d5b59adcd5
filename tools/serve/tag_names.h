// The names the API gives banks, lock fields and lock actions.
#ifndef VELKOR_SERVE_TAG_NAMES_H
#define VELKOR_SERVE_TAG_NAMES_H

#include <string>

namespace velkor::serve {

/// "reserved", "epc", "tid", "user" -> VELKOR_BANK_...; ApiError 400 naming
/// `what` and the names otherwise.
int bank_number(const std::string &name, const std::string &what);
/// "kill", "access", "epc", "tid", "user" -> VELKOR_LOCK_... field.
int lock_field(const std::string &name, const std::string &what);
/// "unlock", "permaunlock", "lock", "permalock" -> VELKOR_LOCK_... action.
int lock_action(const std::string &name, const std::string &what);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_TAG_NAMES_H
