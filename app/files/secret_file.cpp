#include "app/files/secret_file.h"

#include <fcntl.h>

#include "app/files/bounded_read.h"
#include "app/files/directory.h"

namespace velkor::app {

namespace {

constexpr std::size_t kLongestSecret = 4096;

}  // namespace

bool read_secret_file(const std::string &path, std::string *secret, std::string *error,
                      FileSystem &fs) {
  Descriptor file(fs, fs.open_at(AT_FDCWD, path, O_RDONLY, 0));
  if (!file.valid()) {
    *error = file_error("read the password file", path);
    return false;
  }
  LineReader reader(fs, file.get(), kLongestSecret);
  std::string line;
  switch (reader.next(&line)) {
    case LineReader::kLine:
    case LineReader::kTorn:
      break;
    case LineReader::kEnd:
      line.clear();
      break;
    case LineReader::kTooLong:
      *error = "the first line of the password file '" + path + "' is longer than " +
               std::to_string(kLongestSecret) + " bytes";
      return false;
    case LineReader::kFailed:
      *error = file_error("read the password file", path);
      return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  *secret = std::move(line);
  return true;
}

}  // namespace velkor::app
