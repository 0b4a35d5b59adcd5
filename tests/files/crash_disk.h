// Power cuts, rebuilt: a file system that makes the real calls and records
// every change under one directory (creations, writes, truncations, renames,
// removals) and every sync, and from that record every disk image a power
// cut could leave.  The model: at a crash, what a sync covered is on disk
// (a file's sync its data, a directory's sync its names), and of the rest
// any prefix in the order it was done, the last write possibly torn.
#ifndef VELKOR_TESTS_FILES_CRASH_DISK_H
#define VELKOR_TESTS_FILES_CRASH_DISK_H

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/files/file_system.h"

namespace velkor::test {

/// The whole of a file as it is on disk ("" when it cannot be read).
std::string slurp(const std::string &path);

class CrashDisk final : public app::FileSystem {
 public:
  /// Records changes under `root`, a directory whose present files count
  /// as on disk.
  explicit CrashDisk(const std::string &root);

  /// A promise the program under test made at this point (a record stored,
  /// a serial issued); the check of a crash image gets the notes made
  /// before the crash.
  void note(const std::string &text);
  /// Operations recorded so far.
  std::size_t recorded() const { return ops_.size(); }

  /// Calls check(directory, notes) once per distinct disk image a power
  /// cut at any point could leave, the image written out under a fresh
  /// directory (removed afterwards) laid out as `root` is.  Returns how
  /// many images were checked.
  std::size_t for_each_crash(
      const std::function<void(const std::string &, const std::vector<std::string> &)> &check);

  int open_at(int dir, const std::string &name, int flags, mode_t mode) override;
  ssize_t write(int fd, const void *data, std::size_t size) override;
  int sync(int fd) override;
  int truncate(int fd, off_t size) override;
  int rename_at(int from_dir, const std::string &from, int to_dir,
                const std::string &to) override;
  int unlink_at(int dir, const std::string &name, int flags) override;
  int make_directory_at(int dir, const std::string &name, mode_t mode) override;
  int close(int fd) override;

 private:
  // Files are known by ids of the model's own: the system reuses the
  // number of a removed file while a crash image may still hold it.
  using Id = ino_t;
  enum class Kind { kLink, kWrite, kTruncate, kRename, kUnlink, kSync, kNote };
  struct Op {
    Kind kind;
    Id node = 0;           ///< the file written, truncated or synced; the directory of a name
    std::string name{};    ///< link, rename (from), unlink
    Id other = 0;          ///< link: the file or directory named; rename: the target directory
    std::string to{};      ///< rename: the new name
    off_t offset = 0;      ///< write: where; truncate: the size
    std::string bytes{};   ///< write: what; note: the text
    bool directory = false;  ///< link: of a new directory
  };
  struct Image {
    std::map<Id, std::map<std::string, Id>> directories;
    std::map<Id, std::string> files;
  };

  Id id_of_descriptor(int fd) const;
  Id id_of_directory(int dir, const std::string &name, std::string *last) const;
  Id fresh_id(ino_t system_number);
  void snapshot(const std::string &path, Id directory);
  void apply(Image &image, const Op &op, std::size_t torn_to) const;
  std::string canonical(const Image &image, Id directory) const;
  void write_out(const Image &image, Id directory, const std::string &path) const;

  Id root_ = 0;
  Image start_;
  std::vector<Op> ops_;
  std::map<ino_t, Id> ids_;  ///< system inode number -> the model's id
  Id next_id_ = 1;
  std::map<int, Id> open_;   ///< descriptors of files under the root
};

/// The real file system without syncs, for reopening crash images: they
/// are checked and thrown away, so nothing needs to reach the disk.
class UnsyncedFileSystem final : public app::FileSystem {
 public:
  int sync(int) override { return 0; }
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_FILES_CRASH_DISK_H
