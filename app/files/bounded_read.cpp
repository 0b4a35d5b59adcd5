#include "app/files/bounded_read.h"

#include <fcntl.h>

#include <cerrno>

#include "app/files/regular_file.h"

namespace velkor::app {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

bool read_to_end(FileSystem &fs, int fd, std::size_t limit, const std::string &path,
                 std::string *text, std::string *error) {
  text->clear();
  std::string chunk(kChunk, '\0');
  for (;;) {
    const ssize_t n = fs.read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = file_error("read", path);
      return false;
    }
    if (n == 0) return true;
    if (text->size() + static_cast<std::size_t>(n) > limit) {
      *error = "'" + path + "' is larger than " + std::to_string(limit) + " bytes";
      text->clear();
      return false;
    }
    text->append(chunk.data(), static_cast<std::size_t>(n));
  }
}

FileRead read_file(const Directory &dir, const std::string &name, std::size_t limit,
                   std::string *text, std::string *error) {
  Descriptor file;
  switch (open_regular(dir, name, O_RDONLY, 0, &file, error)) {
    case Opened::kMissing:
      return FileRead::kMissing;
    case Opened::kRefused:
      return FileRead::kRefused;
    case Opened::kOpen:
      break;
  }
  return read_to_end(dir.fs(), file.get(), limit, dir.path_of(name), text, error)
             ? FileRead::kRead
             : FileRead::kRefused;
}

bool LineReader::fill() {
  if (end_) return false;
  buffer_.erase(0, at_);
  at_ = 0;
  const std::size_t had = buffer_.size();
  buffer_.resize(had + kChunk);
  ssize_t n;
  do n = fs_.read(fd_, buffer_.data() + had, kChunk);
  while (n < 0 && errno == EINTR);
  buffer_.resize(had + static_cast<std::size_t>(n < 0 ? 0 : n));
  if (n < 0) failed_ = true;
  if (n <= 0) end_ = true;
  return n > 0;
}

LineReader::Result LineReader::next(std::string *line) {
  for (;;) {
    const std::size_t newline = buffer_.find('\n', at_);
    if (newline != std::string::npos && newline - at_ <= limit_) {
      line->assign(buffer_, at_, newline - at_);
      offset_ += newline - at_ + 1;
      at_ = newline + 1;
      ++number_;
      return kLine;
    }
    if (buffer_.size() - at_ > limit_) {
      ++number_;
      return kTooLong;
    }
    if (fill()) continue;
    if (failed_) return kFailed;
    if (at_ == buffer_.size()) return kEnd;
    line->assign(buffer_, at_);
    at_ = buffer_.size();
    ++number_;
    return kTorn;
  }
}

}  // namespace velkor::app
