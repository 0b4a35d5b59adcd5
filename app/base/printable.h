// Text from a file or a user, made safe to show in a message: control
// characters and bytes that are not UTF-8 written as \xNN (a terminal would
// act on them), and cut after a limit (a field may be megabytes long).
#ifndef VELKOR_APP_BASE_PRINTABLE_H
#define VELKOR_APP_BASE_PRINTABLE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace velkor::app {

/// `text` with every control character (C0, DEL, C1) and every byte that
/// is not part of a UTF-8 character written as "\xNN", and, when it holds
/// more than `most` characters, the first `most` of them followed by
/// "... (N bytes)".
std::string printable(std::string_view text, std::size_t most = 64);

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_PRINTABLE_H
