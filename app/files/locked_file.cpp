#include "app/files/locked_file.h"

#include "app/files/bounded_read.h"
#include "app/files/replace.h"

namespace velkor::app {

Locked LockedFile::open(const std::string &path, bool wait, std::size_t limit,
                        std::string *error, FileSystem &fs) {
  if (!dir_.open_parent_of(path, fs, &name_, error)) return Locked::kFailed;
  // Readable by all, so that users who share the file can take turns.
  const Locked locked = lock_.acquire(dir_, name_ + ".lock", 0644, wait, "'" + path + "'", error);
  if (locked != Locked::kYes) return locked;
  // Under the lock nobody is saving: what a crashed save left can go.
  if (!remove_leftovers(dir_, name_, error)) return Locked::kFailed;
  text_.clear();
  if (read_file(dir_, name_, limit, &text_, error) == FileRead::kRefused) {
    lock_.release();
    return Locked::kFailed;
  }
  return Locked::kYes;
}

bool LockedFile::write(const std::string &text, std::string *error) {
  if (!replace_file(dir_, name_, text, 0644, error)) return false;
  text_ = text;
  return true;
}

}  // namespace velkor::app
