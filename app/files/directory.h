// An open directory that the durable files live in: every file in it is
// opened, created, renamed and removed relative to this one descriptor, so a
// directory renamed or swapped for a link meanwhile cannot redirect them.
#ifndef VELKOR_APP_FILES_DIRECTORY_H
#define VELKOR_APP_FILES_DIRECTORY_H

#include <sys/types.h>

#include <string>
#include <vector>

#include "app/files/file_system.h"

namespace velkor::app {

/// How a directory is opened.
struct DirectoryRules {
  bool create = false;         ///< make it (with create_mode) when missing
  mode_t create_mode = 0700;
  /// Refuse it unless it belongs to this process's user and neither its
  /// group nor others may write to it (they could plant files in it).
  bool private_only = false;
};

class Directory {
 public:
  /// Not open yet.
  Directory() = default;

  /// Opens the directory at `path` (following links in the path) under
  /// `rules`.  False, with the reason naming the path in *error, when it is
  /// missing (and not to be made), not a directory, or breaks the rules.
  bool open(const std::string &path, const DirectoryRules &rules, FileSystem &fs,
            std::string *error);
  /// Opens the directory that holds the file at `file_path` ("." for a bare
  /// name) and puts the file's own name in *name.  False, with the reason
  /// in *error, when the directory cannot be opened or the path ends in '/'.
  bool open_parent_of(const std::string &file_path, FileSystem &fs, std::string *name,
                      std::string *error);

  /// True once open() or open_parent_of() succeeded.
  bool is_open() const { return fd_.valid(); }
  /// Its descriptor, for the *at calls of the file system.
  int fd() const { return fd_.get(); }
  /// The file system it was opened through.
  FileSystem &fs() const { return fd_.fs(); }
  /// The path as given, for messages.
  const std::string &path() const { return path_; }
  /// "<path>/<name>", or the name alone in the current directory, for messages.
  std::string path_of(const std::string &name) const;

  /// Puts the directory's names (new, renamed, removed files) on disk.
  /// False, with the reason in *error, when the disk refuses.
  bool sync(std::string *error) const;
  /// The names it holds (no "." or "..") in *names; false with the reason
  /// in *error when it cannot be read.
  bool names(std::vector<std::string> *names, std::string *error) const;
  /// Removes the file `name`; true when it is gone (or was never there),
  /// false with the reason in *error otherwise.
  bool remove(const std::string &name, std::string *error) const;

 private:
  Descriptor fd_;
  std::string path_;
};

/// "cannot <what> '<path>': <strerror(errno)>", the helper's words for a
/// failed call.
std::string file_error(const std::string &what, const std::string &path);

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_DIRECTORY_H
