// The store-and-forward spool: an outbox on disk, so that messages outlive
// a broker that is away and a tool that is stopped.
//
// The directory holds numbered segment files, each appended to line by line
// ("<seq> TAB <topic> TAB <payload>" per record), and a small `position` file
// naming the oldest undelivered record (rewritten whole, then renamed into
// place).  A segment is deleted once every record in it is delivered; when
// the spool is over its size limit the oldest segment goes, undelivered
// records and all.  A record torn by a crash is cut off when the spool is
// opened again.  One process at a time: the directory is locked.
#ifndef VELKOR_APP_MQTT_SPOOL_H
#define VELKOR_APP_MQTT_SPOOL_H

#include <memory>
#include <string>
#include <utility>

#include "app/mqtt/outbox.h"

namespace velkor::app::mqtt {

class Spool final : public Outbox {
 public:
  /// Opens (creating when missing) the spool in `dir`, holding at most
  /// `limit_bytes` of undelivered records (4 KiB at least).  On failure
  /// returns null and says why in *error.
  static std::unique_ptr<Spool> open(const std::string &dir, std::size_t limit_bytes,
                                     std::string *error);
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
  using Position = std::pair<std::uint64_t, std::size_t>;

  Spool(std::string dir, std::size_t limit_bytes);
  bool load(std::string *error);
  std::string path_of(std::uint64_t id) const;
  bool start_segment();
  std::size_t drop_oldest();
  void delete_front();
  const Segment *find(std::uint64_t id) const;
  std::size_t pending_bytes() const;
  bool read_line(const Segment &segment, std::string *line);

  std::string dir_;
  std::size_t limit_;
  std::size_t segment_limit_;
  int lock_fd_ = -1;
  int write_fd_ = -1;
  std::deque<Segment> segments_;  ///< oldest first; the last is written to
  std::size_t commit_offset_ = 0;   ///< in the oldest segment
  std::size_t commit_records_ = 0;  ///< records before it in that segment
  Position read_{0, 0};
  std::deque<Position> handed_;  ///< ends of the handed-out, uncommitted records
  std::size_t pending_ = 0;
  std::uint64_t next_id_ = 1;
  std::map<std::string, std::uint64_t> last_seqs_;
  // Read-ahead of the segment being read.
  std::string buffer_;
  Position buffer_at_{0, 0};
  Record current_;
  std::string error_;
};

/// Parses a record line (without its newline); false when it is not one.
bool parse_record(const std::string &line, Record *record);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_SPOOL_H
