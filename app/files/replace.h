// Replacing a file whole: the new text goes to a file beside it under an
// unguessable name (created exclusively, never through a link), reaches the
// disk, and is renamed over the old one, whose directory is synced.  A
// crash or power cut leaves the old text or the new, never a mix or none.
#ifndef VELKOR_APP_FILES_REPLACE_H
#define VELKOR_APP_FILES_REPLACE_H

#include <sys/types.h>

#include <string>
#include <string_view>

#include "app/files/directory.h"

namespace velkor::app {

/// Replaces (or creates) the regular file `name` in `dir` with `text`.  An
/// existing file keeps its permission bits; a new one gets `mode_if_new`
/// less the umask.  False, with the reason in *error, when it could not be
/// done, the old file left as it was (a symbolic link or FIFO at `name` is
/// refused, not replaced).
bool replace_file(const Directory &dir, const std::string &name, std::string_view text,
                  mode_t mode_if_new, std::string *error);

/// Removes what replace_file left beside `name` when a crash cut it short.
/// Call it only while holding the file's lock, when no replace is under
/// way.  False, with the reason in *error, when one could not be removed.
bool remove_leftovers(const Directory &dir, const std::string &name, std::string *error);

/// True when `candidate` is a name replace_file gives its temporary files
/// for `name` ("." name "." 16 hex digits ".tmp").
bool is_temporary_name(const std::string &candidate, const std::string &name);

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_REPLACE_H
