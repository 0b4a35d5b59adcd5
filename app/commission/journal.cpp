#include "app/commission/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "app/base/hex.h"
#include "app/reader/device_lock.h"

namespace velkor::app {

namespace {

const char kHeader[] = "time,serial,epc,uri,tid,result";

std::string quoted(const std::string &field) {
  if (field.find_first_of(",\"\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string why(const std::string &path, const char *what) {
  return "log '" + path + "': " + what + ": " + std::strerror(errno);
}

bool write_all(int fd, const std::string &text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string read_all(int fd) {
  std::string text;
  char chunk[4096];
  for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  return text;
}

// A new file's name must reach the disk too, or a power cut can lose it.
void sync_directory_of(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
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

Journal::~Journal() {
  if (fd_ >= 0) ::close(fd_);
}

void Journal::note(const JournalEntry &entry) {
  if (last_.find(entry.epc) == last_.end()) order_.push_back(entry.epc);
  last_[entry.epc] = entry;
}

bool Journal::open(const std::string &path, std::string *error) {
  path_ = path;
  if (path.empty()) return true;
  struct stat before {};
  const bool existed = ::stat(path.c_str(), &before) == 0;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    *error = why(path, "cannot open it");
    return false;
  }
  if (!lock_exclusively(fd_, "log '" + path + "'", false, error)) return false;
  std::string text = read_all(fd_);
  // A line cut short by a crash ends without its newline: drop it.
  const std::size_t whole = text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1;
  if (whole < text.size()) {
    if (ftruncate(fd_, static_cast<off_t>(whole)) != 0 || fsync(fd_) != 0) {
      *error = why(path, "cannot drop its unfinished last line");
      return false;
    }
    text.resize(whole);
  }
  std::istringstream in(text);
  std::size_t number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (number == 1 && line == kHeader) continue;
    JournalEntry entry;
    if (!parse_journal_line(line, &entry)) {
      *error = "log '" + path + "' line " + std::to_string(number) +
               " is not a commissioning log line";
      return false;
    }
    note(entry);
  }
  if (text.empty()) {
    if (!write_all(fd_, std::string(kHeader) + "\n") || fsync(fd_) != 0) {
      *error = why(path, "cannot write it");
      return false;
    }
    if (!existed) sync_directory_of(path);
  }
  return true;
}

bool Journal::append(const JournalEntry &entry, std::string *error) {
  if (fd_ >= 0 && (!write_all(fd_, journal_line(entry) + "\n") || fdatasync(fd_) != 0)) {
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
