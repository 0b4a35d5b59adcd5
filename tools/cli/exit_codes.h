// The one place where the core's outcomes become the tool's exit statuses
// and its messages on standard error.
#ifndef VELKOR_TOOLS_EXIT_CODES_H
#define VELKOR_TOOLS_EXIT_CODES_H

#include "app/base/error.h"

namespace velkor::tool {

/// Exit statuses: 0 success, 1 the reader refused or did not answer (or a
/// file could not be written), 2 bad input, no reader or a reader in use,
/// 3 nothing found (no tag in the field, no EAS alarm, no tag came), 130 a
/// watch or commissioning stopped by Ctrl-C (after its summary), as shells
/// count it.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNothing = 3;
constexpr int kExitInterrupted = 130;

/// The exit status for an error of the core.
int exit_code(const app::Error &error);

/// Says what failed on standard error ("velkor: write failed: 0xFB (no tag
/// in the field)", with the tool's hint where it has one: the options that
/// name a tag, --wait for a reader in use, --emulate when there is no
/// reader) and returns its exit
/// status.  `what`, when given, names the command in place of the core's
/// operation.
int report(const app::Error &error, const char *what = nullptr);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_EXIT_CODES_H
