// An action that cannot be undone asks first (or needs --yes).
#ifndef VELKOR_TOOLS_CONFIRM_H
#define VELKOR_TOOLS_CONFIRM_H

#include <string>

namespace velkor::tool {

/// For an action that cannot be undone: true with --yes; on a terminal asks
/// (on stderr, the answer from stdin); else false after saying that --yes is
/// needed.
bool confirmed(const std::string &action, const std::string &which, bool yes);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CONFIRM_H
