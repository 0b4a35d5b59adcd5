// The commissioning log, kept as a write-ahead journal: a CSV file (time,
// serial, EPC hex, tag URI, TID, result) to which a line "writing" goes, and
// reaches the disk, before a tag is written, and a line with the outcome
// after.  Reading it back tells a rerun which identities are used (never to
// be issued again) and which writes were cut short, and on which tag.
#ifndef VELKOR_APP_COMMISSION_JOURNAL_H
#define VELKOR_APP_COMMISSION_JOURNAL_H

#include <map>
#include <string>
#include <vector>

#include "app/files/directory.h"
#include "app/files/file_system.h"

namespace velkor::app {

/// One line of the log.
struct JournalEntry {
  std::string time;    ///< UTC, "2024-05-01T12:00:00.123Z"
  std::string serial;
  std::string epc;     ///< upper-case hex
  std::string uri;     ///< "" for an EPC of no known scheme
  std::string tid;     ///< upper-case hex
  std::string result;  ///< "writing", "ok", or "failed: why"
};

/// Results a line can hold.
constexpr const char *kWriting = "writing";
constexpr const char *kOk = "ok";

class Journal {
 public:
  Journal() = default;
  Journal(const Journal &) = delete;
  Journal &operator=(const Journal &) = delete;

  /// Opens (creating, with its header) and locks the log at path, through
  /// `fs`, and reads what earlier runs wrote; a last line cut short by a
  /// crash is dropped (its tag was never written: the write waits for the
  /// line to be on disk).  With an empty path the journal lives in memory
  /// only.  False, with the reason in *error, when the file is held by
  /// another run ("'<path>' is in use by another program"), is a link, a
  /// FIFO or device, or is no commissioning log (its first line is not the
  /// header, a line is not a log's); such a file is left exactly as it was.
  bool open(const std::string &path, std::string *error, FileSystem &fs = system_file_system());

  /// Appends the line and waits until it is on disk; false, with the reason
  /// in *error, when it could not be kept.
  bool append(const JournalEntry &entry, std::string *error);

  /// The last line about an EPC (hex), or null when none names it.
  const JournalEntry *last_of(const std::string &epc) const;
  /// The identities whose last line is "writing": cut short, in log order.
  std::vector<JournalEntry> interrupted() const;

 private:
  void note(const JournalEntry &entry);

  std::string path_;
  Directory dir_;
  Descriptor fd_;
  std::map<std::string, JournalEntry> last_;  // by EPC
  std::vector<std::string> order_;            // EPCs as first logged
};

/// "2024-05-01T12:00:00.123Z,1000,30...,urn:...,E200...,ok" and back; a
/// field holding a comma or a quote is quoted.
std::string journal_line(const JournalEntry &entry);
bool parse_journal_line(const std::string &line, JournalEntry *entry);

}  // namespace velkor::app

#endif  // VELKOR_APP_COMMISSION_JOURNAL_H
