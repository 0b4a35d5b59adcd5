#include "app/mqtt/spool.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace velkor::app::mqtt {

namespace {

constexpr std::size_t kSmallestLimit = 4096;
constexpr std::size_t kLargestSegment = 1 << 20;
constexpr std::size_t kReadAhead = 1 << 16;
constexpr const char *kSuffix = ".seg";
constexpr int kIdDigits = 12;

std::string errno_text() { return std::strerror(errno); }

bool write_all(int fd, const std::string &text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool read_file(const std::string &path, std::string *text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

// Segment ids in the directory, sorted.
std::vector<std::uint64_t> segment_ids(const std::string &dir) {
  std::vector<std::uint64_t> ids;
  DIR *d = ::opendir(dir.c_str());
  if (!d) return ids;
  while (const dirent *e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() != kIdDigits + std::strlen(kSuffix) ||
        name.compare(kIdDigits, std::string::npos, kSuffix) != 0 ||
        !std::all_of(name.begin(), name.begin() + kIdDigits, ::isdigit))
      continue;
    ids.push_back(std::stoull(name.substr(0, kIdDigits)));
  }
  ::closedir(d);
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace

bool parse_record(const std::string &line, Record *record) {
  const std::size_t tab1 = line.find('\t');
  if (tab1 == 0 || tab1 == std::string::npos || tab1 > 20) return false;
  const std::size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string::npos || tab2 == tab1 + 1) return false;
  std::uint64_t seq = 0;
  for (std::size_t i = 0; i < tab1; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    seq = seq * 10 + std::uint64_t(line[i] - '0');
  }
  record->seq = seq;
  record->topic.assign(line, tab1 + 1, tab2 - tab1 - 1);
  record->payload.assign(line, tab2 + 1);
  return true;
}

Spool::Spool(std::string dir, std::size_t limit_bytes)
    : dir_(std::move(dir)),
      limit_(std::max(limit_bytes, kSmallestLimit)),
      segment_limit_(std::clamp<std::size_t>(limit_ / 8, 512, kLargestSegment)) {}

Spool::~Spool() {
  sync();
  if (write_fd_ >= 0) ::close(write_fd_);
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

std::unique_ptr<Spool> Spool::open(const std::string &dir, std::size_t limit_bytes,
                                   std::string *error) {
  std::unique_ptr<Spool> spool(new Spool(dir, limit_bytes));
  if (!spool->load(error)) return nullptr;
  return spool;
}

std::string Spool::path_of(std::uint64_t id) const {
  char name[32];
  std::snprintf(name, sizeof name, "%0*llu%s", kIdDigits, static_cast<unsigned long long>(id),
                kSuffix);
  return dir_ + "/" + name;
}

bool Spool::load(std::string *error) {
  if (::mkdir(dir_.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = "cannot create the spool " + dir_ + ": " + errno_text();
    return false;
  }
  lock_fd_ = ::open((dir_ + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ < 0) {
    *error = "cannot use the spool " + dir_ + ": " + errno_text();
    return false;
  }
  if (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    *error = "the spool " + dir_ + " is in use by another process";
    return false;
  }

  // The position: "<segment> <offset>", then "<seq> TAB <topic>" lines.
  std::uint64_t position_id = 0;
  std::size_t position_offset = 0;
  std::string text;
  if (read_file(dir_ + "/position", &text)) {
    std::istringstream in(text);
    std::string line;
    if (std::getline(in, line)) {
      unsigned long long id = 0, offset = 0;
      if (std::sscanf(line.c_str(), "%llu %llu", &id, &offset) == 2) {
        position_id = id;
        position_offset = offset;
      }
    }
    while (std::getline(in, line)) {
      Record r;
      if (parse_record(line + "\t", &r)) last_seqs_[r.topic] = r.seq;
    }
  }
  next_id_ = position_id + 1;

  for (const std::uint64_t id : segment_ids(dir_)) {
    next_id_ = std::max(next_id_, id + 1);
    if (id < position_id) {  // delivered before the last stop
      ::unlink(path_of(id).c_str());
      continue;
    }
    if (!read_file(path_of(id), &text)) {
      *error = "cannot read " + path_of(id) + ": " + errno_text();
      return false;
    }
    Segment segment{id, 0, 0};
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      Record r;
      if (!parse_record(text.substr(start, end - start), &r)) continue;
      ++segment.records;
      std::uint64_t &last = last_seqs_[r.topic];
      last = std::max(last, r.seq);
      if (id == position_id && end + 1 <= position_offset) {
        ++commit_records_;
        commit_offset_ = end + 1;
      }
    }
    // A record torn by a crash goes; every complete one stays.
    if (start < text.size() && ::truncate(path_of(id).c_str(), off_t(start)) != 0) {
      *error = "cannot repair " + path_of(id) + ": " + errno_text();
      return false;
    }
    segment.bytes = start;
    pending_ += segment.records;
    segments_.push_back(segment);
  }
  pending_ -= commit_records_;

  if (segments_.empty() || segments_.back().bytes >= segment_limit_) {
    if (!start_segment()) {
      *error = error_;
      return false;
    }
  } else {
    write_fd_ = ::open(path_of(segments_.back().id).c_str(),
                       O_WRONLY | O_APPEND | O_CLOEXEC);
    if (write_fd_ < 0) {
      *error = "cannot write " + path_of(segments_.back().id) + ": " + errno_text();
      return false;
    }
  }
  rewind();
  return true;
}

bool Spool::start_segment() {
  const std::uint64_t id = next_id_++;
  const int fd = ::open(path_of(id).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) {
    error_ = "cannot create " + path_of(id) + ": " + errno_text();
    return false;
  }
  if (write_fd_ >= 0) ::close(write_fd_);
  write_fd_ = fd;
  segments_.push_back({id, 0, 0});
  return true;
}

std::size_t Spool::pending_bytes() const {
  std::size_t bytes = 0;
  for (const Segment &s : segments_) bytes += s.bytes;
  return bytes - commit_offset_;
}

const Spool::Segment *Spool::find(std::uint64_t id) const {
  for (const Segment &s : segments_)
    if (s.id == id) return &s;
  return nullptr;
}

void Spool::delete_front() {
  // The position goes first, with the sequence numbers the segment held.
  const Segment front = segments_.front();
  segments_.pop_front();
  commit_offset_ = commit_records_ = 0;
  sync();
  ::unlink(path_of(front.id).c_str());
}

std::size_t Spool::drop_oldest() {
  if (segments_.size() == 1 && !start_segment()) return 0;
  const Segment &front = segments_.front();
  const std::size_t dropped = front.records - commit_records_;
  while (!handed_.empty() && handed_.front().first == front.id) handed_.pop_front();
  if (read_.first == front.id) read_ = {segments_[1].id, 0};
  pending_ -= dropped;
  delete_front();
  return dropped;
}

std::size_t Spool::append(const Record &record) {
  const std::string line =
      std::to_string(record.seq) + "\t" + record.topic + "\t" + record.payload + "\n";
  std::size_t dropped = 0;
  while (pending_ > 0 && pending_bytes() + line.size() > limit_) {
    const std::size_t n = drop_oldest();
    if (n == 0 && segments_.size() == 1) break;
    dropped += n;
  }
  if (segments_.back().bytes >= segment_limit_ && !start_segment()) return dropped;
  if (!write_all(write_fd_, line)) {
    error_ = "cannot write the spool " + dir_ + ": " + errno_text() + "; a message was lost";
    // Keep the segment whole: cut off whatever part of the line got there.
    if (::ftruncate(write_fd_, off_t(segments_.back().bytes)) != 0) start_segment();
    return dropped;
  }
  Segment &back = segments_.back();
  back.bytes += line.size();
  ++back.records;
  ++pending_;
  std::uint64_t &last = last_seqs_[record.topic];
  last = std::max(last, record.seq);
  return dropped;
}

bool Spool::read_line(const Segment &segment, std::string *line) {
  const std::size_t from = read_.second;
  for (std::size_t want = kReadAhead;; want *= 2) {
    const bool buffered = buffer_at_.first == segment.id && from >= buffer_at_.second &&
                          from < buffer_at_.second + buffer_.size();
    if (buffered) {
      const std::size_t at = from - buffer_at_.second;
      const std::size_t end = buffer_.find('\n', at);
      if (end != std::string::npos) {
        line->assign(buffer_, at, end - at);
        return true;
      }
      if (buffer_at_.second + buffer_.size() >= segment.bytes) return false;
    }
    const std::size_t size = std::min(want, segment.bytes - from);
    buffer_.resize(size);
    const int fd = ::open(path_of(segment.id).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const ssize_t n = ::pread(fd, buffer_.data(), size, off_t(from));
    ::close(fd);
    if (n <= 0) return false;
    buffer_.resize(std::size_t(n));
    buffer_at_ = {segment.id, from};
  }
}

const Record *Spool::next() {
  for (;;) {
    const Segment *segment = find(read_.first);
    if (!segment) return nullptr;
    if (read_.second >= segment->bytes) {
      const auto later = std::find_if(segments_.begin(), segments_.end(),
                                      [&](const Segment &s) { return s.id > read_.first; });
      if (later == segments_.end()) return nullptr;
      read_ = {later->id, 0};
      continue;
    }
    std::string line;
    if (!read_line(*segment, &line)) {
      // The rest of the segment cannot be read: skip it.
      read_.second = segment->bytes;
      continue;
    }
    read_.second += line.size() + 1;
    if (!parse_record(line, &current_)) continue;  // not a record: pass over it
    handed_.push_back(read_);
    return &current_;
  }
}

void Spool::rewind() {
  handed_.clear();
  read_ = {segments_.front().id, commit_offset_};
}

void Spool::commit(std::size_t n) {
  for (; n > 0 && !handed_.empty(); --n) {
    const Position end = handed_.front();
    handed_.pop_front();
    while (segments_.front().id != end.first) delete_front();
    ++commit_records_;
    commit_offset_ = end.second;
    --pending_;
  }
  while (segments_.size() > 1 && commit_offset_ >= segments_.front().bytes) delete_front();
}

void Spool::sync() {
  std::string text = std::to_string(segments_.front().id) + " " +
                     std::to_string(commit_offset_) + "\n";
  for (const auto &[topic, seq] : last_seqs_) text += std::to_string(seq) + "\t" + topic + "\n";
  const std::string temporary = dir_ + "/position.new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    error_ = "cannot write " + temporary + ": " + errno_text();
    return;
  }
  const bool written = write_all(fd, text);
  ::close(fd);
  if (!written || ::rename(temporary.c_str(), (dir_ + "/position").c_str()) != 0)
    error_ = "cannot write the spool position in " + dir_ + ": " + errno_text();
}

}  // namespace velkor::app::mqtt
