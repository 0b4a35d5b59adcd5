// The durable-file helper against what another user, a mistake or a broken
// disk puts in its way: links, FIFOs, devices and directories where a file
// should be; files and lines without end; directories others may write to;
// interrupted, short and failing writes; and a file's mode across a replace.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "app/files/bounded_read.h"
#include "app/files/directory.h"
#include "app/files/file_lock.h"
#include "app/files/regular_file.h"
#include "app/files/replace.h"
#include "tests/files/crash_disk.h"

namespace velkor::app {
namespace {

namespace fs = std::filesystem;
using test::slurp;

class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/velkor-files-XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
  }
  ~Scratch() { fs::remove_all(path_); }
  std::string at(const std::string &name) const { return path_ + "/" + name; }
  const std::string &path() const { return path_; }
  Directory open() const {
    Directory d;
    std::string error;
    EXPECT_TRUE(d.open(path_, {}, system_file_system(), &error)) << error;
    return d;
  }

 private:
  std::string path_;
};

mode_t mode_of(const std::string &path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// Every way the helper touches a file by name.
struct EntryPoint {
  const char *name;
  std::function<bool(const Directory &, std::string *)> use;  // true: it went ahead
};

const EntryPoint kEntryPoints[] = {
    {"open to read",
     [](const Directory &d, std::string *e) {
       Descriptor f;
       return open_regular(d, "target", O_RDONLY, 0, &f, e) == Opened::kOpen;
     }},
    {"open to append",
     [](const Directory &d, std::string *e) {
       Descriptor f;
       return open_regular(d, "target", O_RDWR | O_APPEND | O_CREAT, 0600, &f, e) ==
              Opened::kOpen;
     }},
    {"read whole",
     [](const Directory &d, std::string *e) {
       std::string text;
       return read_file(d, "target", 1 << 20, &text, e) == FileRead::kRead;
     }},
    {"replace", [](const Directory &d, std::string *e) {
       return replace_file(d, "target", "new text\n", 0644, e);
     }},
    {"lock", [](const Directory &d, std::string *e) {
       FileLock lock;
       return lock.acquire(d, "target", 0600, false, "target", e) == Locked::kYes;
     }},
};

// What is planted at the name, and the words of the refusal.
struct Planted {
  const char *what;
  std::function<bool(const Scratch &)> plant;  // false: cannot be made here
  const char *says;
};

const Planted kPlanted[] = {
    {"a link to a file",
     [](const Scratch &s) {
       std::ofstream(s.at("victim")) << "precious\n";
       return ::symlink(s.at("victim").c_str(), s.at("target").c_str()) == 0;
     },
     "symbolic link"},
    {"a dangling link",
     [](const Scratch &s) { return ::symlink(s.at("victim").c_str(), s.at("target").c_str()) == 0; },
     "symbolic link"},
    {"a FIFO", [](const Scratch &s) { return ::mkfifo(s.at("target").c_str(), 0600) == 0; },
     "not a regular file"},
    {"a directory", [](const Scratch &s) { return ::mkdir(s.at("target").c_str(), 0700) == 0; },
     "not a regular file"},
    {"a device",
     [](const Scratch &s) {
       return ::mknod(s.at("target").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;  // zero
     },
     "not a regular file"},
    {"a socket",
     [](const Scratch &s) {
       sockaddr_un address{};
       address.sun_family = AF_UNIX;
       const std::string path = s.at("target");
       if (path.size() >= sizeof address.sun_path) return false;
       path.copy(address.sun_path, path.size());
       const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
       const bool bound =
           ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
       ::close(fd);
       return bound;
     },
     "not a regular file"},
};

TEST(DurableFiles, NothingButARegularFileIsOpenedAndNothingBlocks) {
  for (const Planted &p : kPlanted)
    for (const EntryPoint &e : kEntryPoints) {
      SCOPED_TRACE(std::string(e.name) + " on " + p.what);
      Scratch s;
      if (!p.plant(s)) continue;  // a device needs root
      std::string error;
      EXPECT_FALSE(e.use(s.open(), &error));
      EXPECT_NE(error.find(p.says), std::string::npos) << error;
      EXPECT_NE(error.find(s.at("target")), std::string::npos) << error;
      // Nothing written through a link, nor created through a dangling one.
      if (fs::exists(s.at("victim"))) {
        EXPECT_EQ(slurp(s.at("victim")), "precious\n");
      }
    }
}

TEST(DurableFiles, EveryReadHasALimit) {
  Scratch s;
  const Directory d = s.open();
  std::ofstream(s.at("exact")) << std::string(100, 'x');
  std::ofstream(s.at("over")) << std::string(101, 'x');
  // A sparse gigabyte: refused after the limit, not read to its end.
  { std::ofstream(s.at("huge")); }
  fs::resize_file(s.at("huge"), std::uintmax_t(1) << 30);
  std::string text, error;
  EXPECT_EQ(read_file(d, "exact", 100, &text, &error), FileRead::kRead) << error;
  EXPECT_EQ(text.size(), 100u);
  for (const char *name : {"over", "huge"}) {
    EXPECT_EQ(read_file(d, name, 100, &text, &error), FileRead::kRefused) << name;
    EXPECT_NE(error.find("larger than 100 bytes"), std::string::npos) << error;
    EXPECT_TRUE(text.empty());
  }
  EXPECT_EQ(read_file(d, "absent", 100, &text, &error), FileRead::kMissing);

  struct Case {
    std::string content;
    std::vector<LineReader::Result> results;
    std::vector<std::string> lines;
    std::uint64_t offset;  // after the last whole line
  };
  const std::string at_limit(8, 'a');
  for (const Case &c : {
           Case{"one\ntwo\n", {LineReader::kLine, LineReader::kLine, LineReader::kEnd},
                {"one", "two"}, 8},
           Case{at_limit + "\n", {LineReader::kLine, LineReader::kEnd}, {at_limit}, 9},
           Case{"one\n" + at_limit + "b\n", {LineReader::kLine, LineReader::kTooLong}, {"one"}, 4},
           Case{"one\ntw", {LineReader::kLine, LineReader::kTorn}, {"one", "tw"}, 4},
           Case{std::string(1 << 20, 'z'), {LineReader::kTooLong}, {}, 0},
       }) {
    std::ofstream(s.at("lines"), std::ios::binary) << c.content;
    Descriptor f;
    ASSERT_EQ(open_regular(d, "lines", O_RDONLY, 0, &f, &error), Opened::kOpen);
    LineReader reader(system_file_system(), f.get(), 8);
    std::vector<std::string> lines;
    for (const LineReader::Result expected : c.results) {
      std::string line;
      const LineReader::Result got = reader.next(&line);
      EXPECT_EQ(got, expected) << c.content.substr(0, 20);
      if (got == LineReader::kLine || got == LineReader::kTorn) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(reader.offset(), c.offset);
  }
}

TEST(DurableFiles, ADirectoryOthersMayWriteToIsRefused) {
  struct Case {
    const char *what;
    std::function<bool(const std::string &)> make;  // false: cannot be made here
    DirectoryRules rules;
    const char *says;  // "" when it is accepted
  };
  const DirectoryRules checked{false, 0700, true};
  const DirectoryRules created{true, 0700, true};
  const auto dir_with_mode = [](mode_t mode) {
    return [mode](const std::string &p) { return ::mkdir(p.c_str(), 0700) == 0 && ::chmod(p.c_str(), mode) == 0; };
  };
  for (const Case &c : {
           Case{"private", dir_with_mode(0700), checked, ""},
           Case{"readable by all", dir_with_mode(0755), checked, ""},
           Case{"writable by all", dir_with_mode(0777), checked, "may be written by every user (mode 0777)"},
           Case{"sticky and writable by all", dir_with_mode(01777), checked, "every user"},
           Case{"writable by its group", dir_with_mode(0770), checked, "may be written by its group"},
           Case{"another user's",
                [](const std::string &p) {
                  return ::geteuid() == 0 && ::mkdir(p.c_str(), 0700) == 0 &&
                         ::chown(p.c_str(), 4242, 4242) == 0;
                },
                checked, "belongs to user 4242"},
           Case{"missing", [](const std::string &) { return true; }, checked, "cannot open the directory"},
           Case{"missing, to be made", [](const std::string &) { return true; }, created, ""},
           Case{"a file", [](const std::string &p) { return bool(std::ofstream(p)); }, created,
                "is not a directory"},
       }) {
    SCOPED_TRACE(c.what);
    Scratch s;
    if (!c.make(s.at("dir"))) continue;
    Directory d;
    std::string error;
    const bool opened = d.open(s.at("dir"), c.rules, system_file_system(), &error);
    EXPECT_EQ(opened, *c.says == '\0') << error;
    if (!opened) {
      EXPECT_NE(error.find(c.says), std::string::npos) << error;
      EXPECT_FALSE(d.is_open());
    }
  }
  Scratch s;
  Directory d;
  std::string error;
  ASSERT_TRUE(d.open(s.at("made"), {true, 0700, true}, system_file_system(), &error)) << error;
  EXPECT_EQ(mode_of(s.at("made")), 0700u);
}

// Writes that the system cuts short or interrupts, then one that fails.
class StingyFileSystem : public FileSystem {
 public:
  std::size_t fail_after = SIZE_MAX;  // bytes written before the disk is full
  ssize_t write(int fd, const void *data, std::size_t size) override {
    if (interrupt_ = !interrupt_; interrupt_) {
      errno = EINTR;
      return -1;
    }
    if (written_ >= fail_after) {
      errno = ENOSPC;
      return -1;
    }
    ++written_;
    return FileSystem::write(fd, data, std::min<std::size_t>(size, 1));
  }

 private:
  bool interrupt_ = false;
  std::size_t written_ = 0;
};

TEST(DurableFiles, ShortAndInterruptedWritesAreFinishedAndFailuresLeaveTheOldFile) {
  Scratch s;
  std::ofstream(s.at("state")) << "old\n";
  StingyFileSystem stingy;
  Directory d;
  std::string error;
  ASSERT_TRUE(d.open(s.path(), {}, stingy, &error));
  const std::string text = "a longer text, written a byte at a time\n";
  ASSERT_TRUE(replace_file(d, "state", text, 0644, &error)) << error;
  EXPECT_EQ(slurp(s.at("state")), text);

  stingy.fail_after = 10;
  EXPECT_FALSE(replace_file(d, "state", "the newest text of all\n", 0644, &error));
  EXPECT_NE(error.find("No space left"), std::string::npos) << error;
  EXPECT_EQ(slurp(s.at("state")), text);
  std::vector<std::string> names;
  ASSERT_TRUE(d.names(&names, &error));
  EXPECT_EQ(names, std::vector<std::string>{"state"}) << "a temporary file was left";
}

TEST(DurableFiles, AReplacedFileKeepsItsModeAndANewOneTakesTheUmask) {
  Scratch s;
  const Directory d = s.open();
  std::string error;
  for (const mode_t mode : {0600, 0640, 0644, 0755, 0400}) {
    std::ofstream(s.at("kept")) << "old\n";
    ::chmod(s.at("kept").c_str(), mode);
    ASSERT_TRUE(replace_file(d, "kept", "new\n", 0644, &error)) << error;
    EXPECT_EQ(mode_of(s.at("kept")), mode);
    EXPECT_EQ(slurp(s.at("kept")), "new\n");
  }
  struct Case {
    mode_t umask, asked, got;
  };
  for (const Case &c : {Case{022, 0644, 0644}, Case{077, 0666, 0600}, Case{0, 0600, 0600}}) {
    fs::remove(s.at("fresh"));
    const mode_t old = ::umask(c.umask);
    const bool replaced = replace_file(d, "fresh", "x", c.asked, &error);
    ::umask(old);
    ASSERT_TRUE(replaced) << error;
    EXPECT_EQ(mode_of(s.at("fresh")), c.got);
  }
}

// Records the names replace_file creates its new files under.
class NameRecorder : public FileSystem {
 public:
  std::vector<std::pair<std::string, int>> created;
  int open_at(int dir, const std::string &name, int flags, mode_t mode) override {
    if (flags & O_CREAT) created.emplace_back(name, flags);
    return FileSystem::open_at(dir, name, flags, mode);
  }
};

TEST(DurableFiles, NewFilesGetUnguessableNamesAndLinksPlantedBesideAreLeftAlone) {
  Scratch s;
  std::ofstream(s.at("victim")) << "precious\n";
  for (const char *planted : {"state.new", "state.tmp", ".state.tmp", "state~"})
    ASSERT_EQ(::symlink(s.at("victim").c_str(), s.at(planted).c_str()), 0);
  NameRecorder recorder;
  Directory d;
  std::string error;
  ASSERT_TRUE(d.open(s.path(), {}, recorder, &error));
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(replace_file(d, "state", "text\n", 0600, &error)) << error;
  std::set<std::string> names;
  for (const auto &[name, flags] : recorder.created) {
    EXPECT_TRUE(is_temporary_name(name, "state")) << name;
    EXPECT_EQ(flags & (O_EXCL | O_NOFOLLOW), O_EXCL | O_NOFOLLOW) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 20u) << "a name came twice";
  EXPECT_EQ(slurp(s.at("victim")), "precious\n");

  // What a crash left is removed; nothing else is.
  std::ofstream(s.at(".state.0123456789abcdef.tmp")) << "left by a crash";
  std::ofstream(s.at(".state.0123456789abcdef.tmp.keep")) << "someone's";
  ASSERT_TRUE(remove_leftovers(d, "state", &error)) << error;
  EXPECT_FALSE(fs::exists(s.at(".state.0123456789abcdef.tmp")));
  EXPECT_TRUE(fs::exists(s.at(".state.0123456789abcdef.tmp.keep")));
  EXPECT_TRUE(fs::is_symlink(s.at("state.new")));
}

}  // namespace
}  // namespace velkor::app
