// The store-and-forward spool: an outbox on disk, so that messages outlive
// a broker that is away, a tool that is stopped or killed, and a power cut.
//
// The directory (private to its user: one others may write to is refused)
// holds numbered segment files, each appended to line by line: first the
// sequence number each topic had reached (marks), then the records, "<seq>
// TAB <topic> TAB <payload>".  A record is on disk (flush(), one sync for
// all appended since) before it is handed out, so a number a subscriber has
// seen is never given to another message.  A small `position` file names
// the oldest undelivered record; it is replaced whole and synced.  A
// segment is deleted once every record in it is delivered and the position
// says so; when the spool is over its size limit the oldest segment goes,
// undelivered records and all, and the count is said.  A record torn by a
// crash is cut off when the spool is opened again.  A position that is
// damaged, empty or names what is not there is not trusted: the spool
// starts again from its oldest record and takes the numbers from the
// segments themselves.  One process at a time: the directory is locked.
#ifndef VELKOR_APP_MQTT_SPOOL_H
#define VELKOR_APP_MQTT_SPOOL_H

#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "app/files/directory.h"
#include "app/files/file_lock.h"
#include "app/files/file_system.h"
#include "app/mqtt/outbox.h"
#include "app/mqtt/spool_files.h"

namespace velkor::app::mqtt {

class Spool final : public Outbox {
 public:
  /// Opens (creating when missing) the spool in `dir`, holding at most
  /// `limit_bytes` of undelivered records (4 KiB at least), its files
  /// reached through `fs`.  On failure returns null and says why in *error:
  /// the directory belongs to another user or others may write to it,
  /// another process uses the spool, or a file in it is a link, not a
  /// regular file, or larger than any the spool writes; nothing in the
  /// directory is changed then.
  static std::unique_ptr<Spool> open(const std::string &dir, std::size_t limit_bytes,
                                     std::string *error, FileSystem &fs = system_file_system());
  /// Syncs (see sync()) and lets go of the directory.
  ~Spool() override;
  Spool(const Spool &) = delete;
  Spool &operator=(const Spool &) = delete;

  std::size_t append(const Record &record) override;
  const Record *next() override;
  void rewind() override;
  void commit(std::size_t n) override;
  std::size_t pending() const override { return pending_; }
  std::string take_error() override { return std::exchange(error_, {}); }
  std::map<std::string, std::uint64_t> last_seqs() const override { return last_seqs_; }
  void flush() override;
  void sync() override;

  /// Segment files are closed at this size, so that the oldest can go
  /// without the rest.
  std::size_t segment_limit() const { return segment_limit_; }

 private:
  struct Segment {
    std::uint64_t id = 0;
    std::size_t records = 0;
    std::size_t bytes = 0;
  };
  /// Where a record ends: its segment and the offset after its newline.
  using Place = std::pair<std::uint64_t, std::size_t>;

  Spool(std::string dir, std::size_t limit_bytes, FileSystem &fs);
  bool load(std::string *error);
  bool read_segment(std::uint64_t id, std::string *text, std::string *error);
  bool start_segment();
  std::size_t drop_oldest();
  void delete_front();
  const Segment *find(std::uint64_t id) const;
  std::size_t pending_bytes() const;
  bool read_line(const Segment &segment, std::string *line);
  void note_seq(const std::string &topic, std::uint64_t seq);

  FileSystem &fs_;
  std::string path_;
  Directory dir_;
  FileLock lock_;
  bool opened_ = false;
  std::size_t limit_;
  std::size_t segment_limit_;
  Descriptor write_fd_;
  std::deque<Segment> segments_;  ///< oldest first; the last is written to
  std::size_t commit_offset_ = 0;   ///< in the oldest segment
  std::size_t commit_records_ = 0;  ///< records before it in that segment
  Place read_{0, 0};
  Place durable_{0, 0};  ///< the end of what is on disk in the last segment
  std::deque<Place> handed_;  ///< ends of the handed-out, uncommitted records
  std::size_t pending_ = 0;
  std::uint64_t next_id_ = 1;
  std::map<std::string, std::uint64_t> last_seqs_;
  std::string synced_;  ///< the position text last put on disk
  // Read-ahead of the segment being read.
  std::string buffer_;
  Place buffer_at_{0, 0};
  Record current_;
  std::string error_;
};

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_SPOOL_H
