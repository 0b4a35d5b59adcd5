// The guard in front of every tag-changing command: with no --epc or
// --mask it goes ahead only when exactly one tag is in the field, and an
// action that cannot be undone asks first (or needs --yes).
#ifndef VELKOR_TOOLS_TAG_GUARD_H
#define VELKOR_TOOLS_TAG_GUARD_H

#include <string>

#include "app/reader/session.h"
#include "tools/cli/commands/tag_target.h"

namespace velkor::tool {

/// Settles which tag `command` changes.  A named target stays as it is; with
/// none, one inventory round runs and its only tag becomes the --epc.
/// Returns kExitOk with the tag in words in *which ("3000AB..", "matching
/// mask 30"), or the exit status after saying why on stderr: no
/// tag (kExitNothing), several (kExitUsage), the round failing (kExitFailed).
int settle_target(Session &s, TargetOptions &target, const char *command, std::string *which);

/// The one tag in the field, for a command that has no way to name a tag;
/// the same statuses as settle_target.
int only_tag(Session &s, const char *command, Bytes *epc);

/// For an action that cannot be undone: true with --yes; on a terminal asks
/// (on stderr, the answer from stdin); else false after saying that --yes is
/// needed.
bool confirmed(const std::string &action, const std::string &which, bool yes);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_GUARD_H
