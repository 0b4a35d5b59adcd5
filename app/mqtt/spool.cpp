#include "app/mqtt/spool.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "app/files/bounded_read.h"
#include "app/files/regular_file.h"
#include "app/files/replace.h"

namespace velkor::app::mqtt {

namespace {

constexpr std::size_t kSmallestLimit = 4096;
constexpr std::size_t kLargestSegment = 1 << 20;
// A segment closes once past its limit: so at most that, its marks and one
// record line more.  Anything larger is not the spool's own.
constexpr std::size_t kLargestSegmentFile = 2 * kLargestSegment + kLongestRecordLine;
constexpr std::size_t kLargestPosition = 1 << 20;
constexpr std::size_t kReadAhead = 1 << 16;
constexpr const char *kPosition = "position";
constexpr const char *kLock = "lock";

// What the first pass over a segment found.
struct Scanned {
  std::uint64_t id = 0;
  std::size_t records = 0;
  std::size_t whole = 0;     ///< bytes in whole lines
  std::size_t size = 0;      ///< bytes in the file
  std::size_t committed = 0;  ///< records before the position's offset
  bool boundary = false;     ///< the position's offset begins a line here
};

}  // namespace

Spool::Spool(std::string dir, std::size_t limit_bytes, FileSystem &fs)
    : fs_(fs), path_(std::move(dir)), limit_(std::max(limit_bytes, kSmallestLimit)),
      segment_limit_(std::clamp<std::size_t>(limit_ / 8, 512, kLargestSegment)) {}

Spool::~Spool() {
  // A spool that never opened owns nothing in the directory.
  if (opened_) sync();
}

std::unique_ptr<Spool> Spool::open(const std::string &dir, std::size_t limit_bytes,
                                   std::string *error, FileSystem &fs) {
  std::unique_ptr<Spool> spool(new Spool(dir, limit_bytes, fs));
  if (!spool->load(error)) return nullptr;
  return spool;
}

void Spool::note_seq(const std::string &topic, std::uint64_t seq) {
  std::uint64_t &last = last_seqs_[topic];
  last = std::max(last, seq);
}

bool Spool::read_segment(std::uint64_t id, std::string *text, std::string *error) {
  const std::string name = segment_name(id);
  switch (read_file(dir_, name, kLargestSegmentFile, text, error)) {
    case FileRead::kRead:
      return true;
    case FileRead::kMissing:
      *error = "'" + dir_.path_of(name) + "' went while the spool was opened";
      return false;
    case FileRead::kRefused:
      break;
  }
  *error = "the spool " + path_ + " holds what it never wrote: " + *error + "; move it away";
  return false;
}

bool Spool::load(std::string *error) {
  if (!dir_.open(path_, {true, 0700, true}, fs_, error)) return false;
  if (lock_.acquire(dir_, kLock, 0600, false, "the spool " + path_, error) != Locked::kYes)
    return false;

  // First everything is read and checked; the directory changes only after.
  std::string text;
  std::optional<Position> position;
  bool damaged = false;
  switch (read_file(dir_, kPosition, kLargestPosition, &text, error)) {
    case FileRead::kRead:
      position = parse_position(text);
      damaged = !position;
      break;
    case FileRead::kMissing:
      break;
    case FileRead::kRefused:
      *error = "the spool " + path_ + " holds what it never wrote: " + *error + "; move it away";
      return false;
  }
  if (position)
    for (const auto &[topic, seq] : position->seqs) note_seq(topic, seq);

  std::vector<std::string> names;
  if (!dir_.names(&names, error)) return false;
  std::vector<std::uint64_t> ids;
  for (const std::string &name : names)
    if (const auto id = segment_id(name)) ids.push_back(*id);
  std::sort(ids.begin(), ids.end());

  std::vector<Scanned> scanned;
  for (const std::uint64_t id : ids) {
    if (!read_segment(id, &text, error)) return false;
    Scanned s{id, 0, 0, text.size(), 0, false};
    const bool positioned = position && position->segment == id;
    s.boundary = positioned && position->offset == 0;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = text.substr(start, end - start);
      Record r;
      std::string topic;
      std::uint64_t seq = 0;
      if (parse_record(line, &r)) {
        ++s.records;
        note_seq(r.topic, r.seq);
        if (positioned && end + 1 <= position->offset) ++s.committed;
      } else if (parse_mark(line, &topic, &seq)) {
        note_seq(topic, seq);
      }
      if (positioned && end + 1 == position->offset) s.boundary = true;
    }
    s.whole = start;
    scanned.push_back(s);
  }
  // The position is trusted only when it names a record's start in a
  // segment that is there; else every kept record goes again.
  const auto named = std::find_if(scanned.begin(), scanned.end(), [&](const Scanned &s) {
    return position && s.id == position->segment;
  });
  const bool trusted = named != scanned.end() && named->boundary;
  if (damaged || (position && !trusted))
    error_ = "the spool's position in " + path_ +
             " was damaged: its messages go again from the oldest (a subscriber drops the "
             "numbers it has had)";

  if (!remove_leftovers(dir_, kPosition, error)) return false;
  for (const Scanned &s : scanned) {
    next_id_ = std::max(next_id_, s.id + 1);
    const std::string name = segment_name(s.id);
    if (trusted && s.id < position->segment) {  // delivered before the last stop
      if (!dir_.remove(name, error)) return false;
      continue;
    }
    // What a killed run wrote may not be on disk yet; a record torn by a
    // crash goes, every whole one stays.
    Descriptor fd;
    if (open_regular(dir_, name, O_WRONLY, 0, &fd, error) != Opened::kOpen) return false;
    if ((s.size > s.whole && fs_.truncate(fd.get(), off_t(s.whole)) != 0) ||
        !sync_file(fs_, fd.get())) {
      *error = file_error("repair", dir_.path_of(name));
      return false;
    }
    segments_.push_back({s.id, s.records, s.whole});
    pending_ += s.records;
  }
  if (!dir_.sync(error)) return false;
  if (trusted) {
    commit_offset_ = std::size_t(position->offset);
    commit_records_ = named->committed;
    pending_ -= commit_records_;
  }

  if (segments_.empty() || segments_.back().bytes >= segment_limit_) {
    if (!start_segment()) {
      *error = error_;
      return false;
    }
  } else {
    const std::string name = segment_name(segments_.back().id);
    if (open_regular(dir_, name, O_WRONLY | O_APPEND, 0, &write_fd_, error) != Opened::kOpen)
      return false;
    durable_ = {segments_.back().id, segments_.back().bytes};
  }
  opened_ = true;
  rewind();
  return true;
}

bool Spool::start_segment() {
  // The records before it reach the disk first: they go out before its own.
  flush();
  const std::uint64_t id = next_id_++;
  const std::string name = segment_name(id);
  std::string marks;
  for (const auto &[topic, seq] : last_seqs_) marks += mark_line(topic, seq) + "\n";
  Descriptor fd;
  std::string error;
  if (open_regular(dir_, name, O_WRONLY | O_APPEND | O_CREAT | O_EXCL, 0600, &fd, &error) !=
      Opened::kOpen) {
    error_ = error;
    return false;
  }
  if (!write_all(fs_, fd.get(), marks) || !sync_file(fs_, fd.get()) || !dir_.sync(&error)) {
    error_ = file_error("write", dir_.path_of(name));
    fd.reset();
    dir_.remove(name, &error);
    return false;
  }
  write_fd_ = std::move(fd);
  segments_.push_back({id, 0, marks.size()});
  durable_ = {id, marks.size()};
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
  // The position names the next segment, on disk, before this one goes.
  const Segment front = segments_.front();
  segments_.pop_front();
  commit_offset_ = commit_records_ = 0;
  sync();
  std::string error;
  if (!dir_.remove(segment_name(front.id), &error)) error_ = error;
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
  const std::string text = record_line(record);
  Record back;
  if (text.size() > kLongestRecordLine || text.find('\n') != std::string::npos ||
      !parse_record(text, &back) || !(back == record)) {
    error_ = "a message for " + record.topic + " (" + std::to_string(text.size()) +
             " bytes) was not kept: the spool takes one line of at most " +
             std::to_string(kLongestRecordLine) + " bytes";
    return 0;
  }
  const std::string line = text + "\n";
  std::size_t dropped = 0;
  while (pending_ > 0 && pending_bytes() + line.size() > limit_) {
    const std::size_t n = drop_oldest();
    if (n == 0 && segments_.size() == 1) break;
    dropped += n;
  }
  if (segments_.back().bytes >= segment_limit_ && !start_segment()) return dropped;
  if (!write_all(fs_, write_fd_.get(), line)) {
    error_ = "cannot write the spool " + path_ + ": " + std::strerror(errno) +
             "; a message was lost";
    // Keep the segment whole: cut off whatever part of the line got there.
    if (fs_.truncate(write_fd_.get(), off_t(segments_.back().bytes)) != 0) start_segment();
    return dropped;
  }
  Segment &last = segments_.back();
  last.bytes += line.size();
  ++last.records;
  ++pending_;
  note_seq(record.topic, record.seq);
  return dropped;
}

void Spool::flush() {
  if (!write_fd_.valid()) return;
  const Segment &last = segments_.back();
  if (durable_ == Place{last.id, last.bytes}) return;
  // Handed out even when the disk refuses: the broker may still get them,
  // and the notice says what a power cut would cost.
  if (!sync_file(fs_, write_fd_.get()))
    error_ = "cannot put the spool " + path_ + " on disk: " + std::strerror(errno) +
             "; a power cut now loses its newest messages";
  durable_ = {last.id, last.bytes};
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
    Descriptor fd;
    std::string error;
    if (open_regular(dir_, segment_name(segment.id), O_RDONLY, 0, &fd, &error) != Opened::kOpen)
      return false;
    buffer_.resize(size);
    const ssize_t n = fs_.read_at(fd.get(), buffer_.data(), size, off_t(from));
    if (n <= 0) return false;
    buffer_.resize(std::size_t(n));
    buffer_at_ = {segment.id, from};
  }
}

const Record *Spool::next() {
  for (;;) {
    const Segment *segment = find(read_.first);
    if (!segment) return nullptr;
    // Only what is on disk goes out: a number a subscriber saw is never
    // given to another message after a power cut.
    const bool last = segment->id == segments_.back().id;
    if (read_.second >= (last ? durable_.second : segment->bytes)) {
      if (last) return nullptr;
      const auto later = std::find_if(segments_.begin(), segments_.end(),
                                      [&](const Segment &s) { return s.id > read_.first; });
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
    if (!parse_record(line, &current_)) continue;  // a mark, or not a record: pass over it
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
    const Place end = handed_.front();
    handed_.pop_front();
    while (segments_.front().id != end.first) delete_front();
    ++commit_records_;
    commit_offset_ = end.second;
    --pending_;
  }
  while (segments_.size() > 1 && commit_offset_ >= segments_.front().bytes) delete_front();
}

void Spool::sync() {
  if (!opened_) return;
  flush();
  const std::string text = position_text({segments_.front().id, commit_offset_, last_seqs_});
  if (text == synced_) return;
  std::string error;
  if (replace_file(dir_, kPosition, text, 0600, &error))
    synced_ = text;
  else
    error_ = "cannot keep the spool's position: " + error;
}

}  // namespace velkor::app::mqtt
