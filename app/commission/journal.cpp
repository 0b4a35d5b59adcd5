#include "app/commission/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "app/base/hex.h"
#include "app/files/bounded_read.h"
#include "app/files/file_lock.h"
#include "app/files/regular_file.h"

namespace velkor::app {

namespace {

const char kHeader[] = "time,serial,epc,uri,tid,result";
// Far longer than any line the tool writes; a longer one is no log's.
constexpr std::size_t kLongestLogLine = 64 * 1024;

std::string quoted(const std::string &field) {
  if (field.find_first_of(",\"\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string why(const std::string &path, const char *what) {
  return "log '" + path + "': " + what + ": " + std::strerror(errno);
}

}  // namespace

std::string journal_line(const JournalEntry &e) {
  return quoted(e.time) + "," + quoted(e.serial) + "," + quoted(e.epc) + "," + quoted(e.uri) +
         "," + quoted(e.tid) + "," + quoted(e.result);
}

bool parse_journal_line(const std::string &line, JournalEntry *entry) {
  std::vector<std::string> fields(1);
  bool in_quotes = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_quotes && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      in_quotes = !in_quotes;
    } else if (c == ',' && !in_quotes) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  // The EPC and the TID are what a rerun acts on: they must be hex.
  if (in_quotes || fields.size() != 6 || fields[2].empty() || !parse_hex(fields[2], nullptr) ||
      !parse_hex(fields[4], nullptr))
    return false;
  *entry = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
  return true;
}

void Journal::note(const JournalEntry &entry) {
  if (last_.find(entry.epc) == last_.end()) order_.push_back(entry.epc);
  last_[entry.epc] = entry;
}

bool Journal::open(const std::string &path, std::string *error, FileSystem &fs) {
  path_ = path;
  if (path.empty()) return true;
  std::string name;
  if (!dir_.open_parent_of(path, fs, &name, error)) return false;
  // An existing file is opened as it is; a new one is made, and only then.
  bool created = false;
  for (int attempt = 0; attempt < 2 && !fd_.valid(); ++attempt) {
    switch (open_regular(dir_, name, O_RDWR | O_APPEND, 0, &fd_, error)) {
      case Opened::kOpen:
        break;
      case Opened::kMissing:
        created = open_regular(dir_, name, O_RDWR | O_APPEND | O_CREAT | O_EXCL, 0644, &fd_,
                               error) == Opened::kOpen;
        if (!created && errno != EEXIST) return false;
        break;
      case Opened::kRefused:
        return false;
    }
  }
  if (!fd_.valid()) return false;
  if (lock_descriptor(fs, fd_.get(), false, "'" + path + "'", error) != Locked::kYes)
    return false;

  // Read and checked whole before anything is changed: a file that is not
  // a log (the identities, an archive) stays as it was.
  const std::string shown = "log '" + path + "'";
  const std::string left = "; it was left as it is";
  LineReader reader(fs, fd_.get(), kLongestLogLine);
  bool header = false;
  std::string line;
  for (bool more = true; more;) {
    switch (reader.next(&line)) {
      case LineReader::kLine:
        if (!header) {
          if (line != kHeader) {
            *error = shown + " line 1 is not a commissioning log line (a log begins with " +
                     kHeader + ")" + left;
            return false;
          }
          header = true;
          continue;
        }
        if (JournalEntry entry; parse_journal_line(line, &entry)) {
          note(entry);
          continue;
        }
        *error = shown + " line " + std::to_string(reader.number()) +
                 " is not a commissioning log line" + left;
        return false;
      case LineReader::kTorn:
        // A line a crash cut short, in a log or in its header being made.
        if (!header && std::string_view(kHeader).substr(0, line.size()) != line) {
          *error = shown + " is not a commissioning log: its one line is not the header " +
                   kHeader + left;
          return false;
        }
        more = false;
        break;
      case LineReader::kTooLong:
        *error = shown + " line " + std::to_string(reader.number()) + " is longer than " +
                 std::to_string(kLongestLogLine) + " bytes: it is not a commissioning log" + left;
        return false;
      case LineReader::kFailed:
        *error = why(path, "cannot read it");
        return false;
      case LineReader::kEnd:
        more = false;
        break;
    }
  }
  // The line a crash cut short goes: its tag was never written, since the
  // write waits for the line to be on disk.
  const off_t whole = header ? off_t(reader.offset()) : 0;
  struct stat st {};
  if (fs.stat(fd_.get(), &st) != 0) {
    *error = why(path, "cannot examine it");
    return false;
  }
  if (st.st_size > whole &&
      (fs.truncate(fd_.get(), whole) != 0 || !sync_file(fs, fd_.get()))) {
    *error = why(path, "cannot drop its unfinished last line");
    return false;
  }
  if (!header) {
    if (!write_all(fs, fd_.get(), std::string(kHeader) + "\n") || !sync_file(fs, fd_.get())) {
      *error = why(path, "cannot write it");
      return false;
    }
    // A new file's name must reach the disk too, or a power cut can lose it.
    if (created && !dir_.sync(error)) return false;
  }
  return true;
}

bool Journal::append(const JournalEntry &entry, std::string *error) {
  if (fd_.valid() && (!write_all(dir_.fs(), fd_.get(), journal_line(entry) + "\n") ||
                      !sync_file(dir_.fs(), fd_.get()))) {
    *error = why(path_, "cannot write it");
    return false;
  }
  note(entry);
  return true;
}

const JournalEntry *Journal::last_of(const std::string &epc) const {
  const auto it = last_.find(epc);
  return it == last_.end() ? nullptr : &it->second;
}

std::vector<JournalEntry> Journal::interrupted() const {
  std::vector<JournalEntry> out;
  for (const std::string &epc : order_)
    if (last_.at(epc).result == kWriting) out.push_back(last_.at(epc));
  return out;
}

}  // namespace velkor::app
