// Messages waiting for the broker, oldest first.  The publisher hands them
// out in order, commits the oldest once the broker has acknowledged them,
// and rewinds to the oldest uncommitted one after a lost connection, so
// nothing is skipped and the order never changes.
#ifndef VELKOR_APP_MQTT_OUTBOX_H
#define VELKOR_APP_MQTT_OUTBOX_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>

namespace velkor::app::mqtt {

/// One message: its topic, its sequence number within that topic, and the
/// payload (JSON text on one line).
struct Record {
  std::string topic;
  std::uint64_t seq = 0;
  std::string payload;

  std::size_t size() const { return topic.size() + payload.size() + 24; }
  bool operator==(const Record &) const = default;
};

class Outbox {
 public:
  virtual ~Outbox() = default;

  /// Appends a record.  When the outbox is full it drops the oldest
  /// uncommitted records first (handed out or not) and returns how many.
  virtual std::size_t append(const Record &record) = 0;
  /// The oldest record not handed out since the last rewind, or null; the
  /// pointer stays valid until the next call on the outbox.
  virtual const Record *next() = 0;
  /// Hands out again from the oldest uncommitted record.
  virtual void rewind() = 0;
  /// The oldest n handed-out records were delivered.
  virtual void commit(std::size_t n) = 0;
  /// Records not yet committed.
  virtual std::size_t pending() const = 0;
  /// The highest sequence number each topic has reached, as far as the
  /// outbox knows (a spool remembers it across runs).
  virtual std::map<std::string, std::uint64_t> last_seqs() const = 0;
  /// Makes the records appended so far durable (a spool syncs them to
  /// disk, all at once).  next() hands out only durable records.
  virtual void flush() {}
  /// Makes the records and commits so far durable (a spool flushes and
  /// writes its position).
  virtual void sync() {}
  /// What went wrong since the last call (a spool that could not be
  /// written), or empty.
  virtual std::string take_error() { return {}; }
};

/// An outbox in memory, holding at most `limit_bytes` of records.
class MemoryOutbox final : public Outbox {
 public:
  explicit MemoryOutbox(std::size_t limit_bytes) : limit_(limit_bytes) {}

  std::size_t append(const Record &record) override;
  const Record *next() override;
  void rewind() override { handed_ = 0; }
  void commit(std::size_t n) override;
  std::size_t pending() const override { return records_.size(); }
  std::map<std::string, std::uint64_t> last_seqs() const override { return {}; }

 private:
  std::size_t limit_;
  std::size_t bytes_ = 0;
  std::size_t handed_ = 0;
  std::deque<Record> records_;
};

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_OUTBOX_H
