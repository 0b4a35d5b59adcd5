// Reading with a limit: a whole file, or a file line by line, each refused
// beyond its limit, so a huge or endless file (a planted one, /dev/zero
// behind a link) costs a bounded amount of memory and time.
#ifndef VELKOR_APP_FILES_BOUNDED_READ_H
#define VELKOR_APP_FILES_BOUNDED_READ_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/files/directory.h"
#include "app/files/file_system.h"

namespace velkor::app {

/// Reads fd from its offset to its end into *text.  False when it holds
/// more than `limit` bytes ("'<path>' is larger than <limit> bytes") or
/// cannot be read, with the reason naming `path` in *error.
bool read_to_end(FileSystem &fs, int fd, std::size_t limit, const std::string &path,
                 std::string *text, std::string *error);

/// What read_file found.
enum class FileRead { kRead, kMissing, kRefused };

/// Reads the regular file `name` in `dir` whole, at most `limit` bytes, as
/// open_regular and read_to_end do; kMissing when there is no such file.
FileRead read_file(const Directory &dir, const std::string &name, std::size_t limit,
                   std::string *text, std::string *error);

/// A file read a line at a time, no line longer than a limit.
class LineReader {
 public:
  enum Result {
    kLine,     ///< *line holds the next line, without its '\n'
    kEnd,      ///< every line was read
    kTorn,     ///< *line holds the last bytes, which end without a '\n'
    kTooLong,  ///< the next line is longer than the limit; reading stops
    kFailed,   ///< the file could not be read (errno set)
  };

  /// Reads fd from its current offset; lines of at most `line_limit`
  /// bytes (without the '\n').
  LineReader(FileSystem &fs, int fd, std::size_t line_limit)
      : fs_(fs), fd_(fd), limit_(line_limit) {}

  /// Reads the next line into *line (see Result); after kTooLong, kEnd or
  /// kFailed nothing more is read.
  Result next(std::string *line);
  /// Bytes before the next line: the end of the last whole line read.
  std::uint64_t offset() const { return offset_; }
  /// 1 for the first line, counting every line read so far.
  std::size_t number() const { return number_; }

 private:
  bool fill();

  FileSystem &fs_;
  int fd_;
  std::size_t limit_;
  std::string buffer_;
  std::size_t at_ = 0;
  bool end_ = false;
  bool failed_ = false;
  std::uint64_t offset_ = 0;
  std::size_t number_ = 0;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_BOUNDED_READ_H
