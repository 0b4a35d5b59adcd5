#include "tests/files/crash_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace velkor::test {

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

namespace {

// Keeps errno across the bookkeeping done after a call.
class KeepErrno {
 public:
  KeepErrno() : saved_(errno) {}
  ~KeepErrno() { errno = saved_; }

 private:
  int saved_;
};

}  // namespace

CrashDisk::CrashDisk(const std::string &root) {
  struct stat st {};
  if (::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    throw std::runtime_error("no directory " + root);
  root_ = fresh_id(st.st_ino);
  snapshot(root, root_);
}

CrashDisk::Id CrashDisk::fresh_id(ino_t system_number) {
  ids_[system_number] = next_id_;
  return next_id_++;
}

void CrashDisk::snapshot(const std::string &path, Id directory) {
  auto &entries = start_.directories[directory];
  for (const auto &entry : std::filesystem::directory_iterator(path)) {
    struct stat st {};
    if (::lstat(entry.path().c_str(), &st) != 0) continue;
    const std::string name = entry.path().filename();
    if (S_ISDIR(st.st_mode)) {
      const Id id = fresh_id(st.st_ino);
      entries[name] = id;
      snapshot(entry.path(), id);
    } else if (S_ISREG(st.st_mode)) {
      const Id id = fresh_id(st.st_ino);
      entries[name] = id;
      start_.files[id] = slurp(entry.path());
    }
  }
}

CrashDisk::Id CrashDisk::id_of_descriptor(int fd) const {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return 0;
  const auto it = ids_.find(st.st_ino);
  return it == ids_.end() ? 0 : it->second;
}

// The directory that holds `name` (relative to dir) and the name's last part.
CrashDisk::Id CrashDisk::id_of_directory(int dir, const std::string &name,
                                         std::string *last) const {
  const std::size_t slash = name.rfind('/');
  *last = slash == std::string::npos ? name : name.substr(slash + 1);
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
  const int fd = ::openat(dir, parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  const Id id = id_of_descriptor(fd);
  ::close(fd);
  return id;
}

void CrashDisk::note(const std::string &text) { ops_.push_back({.kind = Kind::kNote, .bytes = text}); }

int CrashDisk::open_at(int dir, const std::string &name, int flags, mode_t mode) {
  std::string last;
  const Id parent = id_of_directory(dir, name, &last);
  struct stat before {};
  const bool existed = ::fstatat(dir, name.c_str(), &before, AT_SYMLINK_NOFOLLOW) == 0;
  const int fd = FileSystem::open_at(dir, name, flags, mode);
  if (fd < 0 || (flags & O_PATH)) return fd;
  KeepErrno keep;
  struct stat st {};
  ::fstat(fd, &st);
  if (parent != 0 && !existed && (flags & O_CREAT)) {
    const Id id = fresh_id(st.st_ino);
    ops_.push_back({.kind = Kind::kLink, .node = parent, .name = last, .other = id});
  }
  const Id id = id_of_descriptor(fd);
  if (id == 0) return fd;
  open_[fd] = id;
  if (existed && (flags & O_TRUNC) && S_ISREG(st.st_mode))
    ops_.push_back({.kind = Kind::kTruncate, .node = id, .offset = 0});
  return fd;
}

ssize_t CrashDisk::write(int fd, const void *data, std::size_t size) {
  const ssize_t n = FileSystem::write(fd, data, size);
  const auto it = open_.find(fd);
  if (n <= 0 || it == open_.end()) return n;
  KeepErrno keep;
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  ops_.push_back({.kind = Kind::kWrite, .node = it->second, .offset = end - n,
                  .bytes = std::string(static_cast<const char *>(data), std::size_t(n))});
  return n;
}

int CrashDisk::sync(int fd) {
  const int rc = FileSystem::sync(fd);
  const auto it = open_.find(fd);
  if (rc == 0 && it != open_.end()) ops_.push_back({.kind = Kind::kSync, .node = it->second});
  return rc;
}

int CrashDisk::truncate(int fd, off_t size) {
  const int rc = FileSystem::truncate(fd, size);
  const auto it = open_.find(fd);
  if (rc == 0 && it != open_.end()) ops_.push_back({.kind = Kind::kTruncate, .node = it->second, .offset = size});
  return rc;
}

int CrashDisk::rename_at(int from_dir, const std::string &from, int to_dir,
                         const std::string &to) {
  std::string from_last, to_last;
  const Id source = id_of_directory(from_dir, from, &from_last);
  const Id target = id_of_directory(to_dir, to, &to_last);
  const int rc = FileSystem::rename_at(from_dir, from, to_dir, to);
  if (rc == 0 && source != 0 && target != 0)
    ops_.push_back({.kind = Kind::kRename, .node = source, .name = from_last, .other = target,
                    .to = to_last});
  return rc;
}

int CrashDisk::unlink_at(int dir, const std::string &name, int flags) {
  std::string last;
  const Id parent = id_of_directory(dir, name, &last);
  const int rc = FileSystem::unlink_at(dir, name, flags);
  if (rc == 0 && parent != 0) ops_.push_back({.kind = Kind::kUnlink, .node = parent, .name = last});
  return rc;
}

int CrashDisk::make_directory_at(int dir, const std::string &name, mode_t mode) {
  std::string last;
  const Id parent = id_of_directory(dir, name, &last);
  const int rc = FileSystem::make_directory_at(dir, name, mode);
  if (rc != 0 || parent == 0) return rc;
  KeepErrno keep;
  struct stat st {};
  ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW);
  ops_.push_back({.kind = Kind::kLink, .node = parent, .name = last,
                  .other = fresh_id(st.st_ino), .directory = true});
  return rc;
}

int CrashDisk::close(int fd) {
  open_.erase(fd);
  return FileSystem::close(fd);
}

void CrashDisk::apply(Image &image, const Op &op, std::size_t torn_to) const {
  switch (op.kind) {
    case Kind::kLink:
      image.directories[op.node][op.name] = op.other;
      if (op.directory)
        image.directories.try_emplace(op.other);
      else
        image.files.try_emplace(op.other);
      break;
    case Kind::kWrite: {
      std::string &file = image.files[op.node];
      const std::size_t at = std::size_t(op.offset);
      const std::size_t n = std::min(torn_to, op.bytes.size());
      if (file.size() < at + n) file.resize(at + n, '\0');
      file.replace(at, n, op.bytes, 0, n);
      break;
    }
    case Kind::kTruncate:
      image.files[op.node].resize(std::size_t(op.offset), '\0');
      break;
    case Kind::kRename: {
      auto &from = image.directories[op.node];
      const auto it = from.find(op.name);
      if (it == from.end()) break;
      const Id moved = it->second;
      from.erase(it);
      image.directories[op.other][op.to] = moved;
      break;
    }
    case Kind::kUnlink:
      image.directories[op.node].erase(op.name);
      break;
    case Kind::kSync:
    case Kind::kNote:
      break;
  }
}

std::string CrashDisk::canonical(const Image &image, Id directory) const {
  std::string out = "{";
  const auto entries = image.directories.find(directory);
  if (entries == image.directories.end()) return out + "}";
  for (const auto &[name, id] : entries->second) {
    out += name;
    if (image.directories.count(id)) {
      out += canonical(image, id);
    } else {
      const auto file = image.files.find(id);
      const std::string &text = file == image.files.end() ? std::string() : file->second;
      out += "=" + std::to_string(text.size()) + ":" + text;
    }
    out += ";";
  }
  return out + "}";
}

void CrashDisk::write_out(const Image &image, Id directory, const std::string &path) const {
  const auto entries = image.directories.find(directory);
  if (entries == image.directories.end()) return;
  for (const auto &[name, id] : entries->second) {
    const std::string at = path + "/" + name;
    if (image.directories.count(id)) {
      ::mkdir(at.c_str(), 0700);
      write_out(image, id, at);
    } else {
      const auto file = image.files.find(id);
      std::ofstream(at, std::ios::binary) << (file == image.files.end() ? "" : file->second);
    }
  }
}

std::size_t CrashDisk::for_each_crash(
    const std::function<void(const std::string &, const std::vector<std::string> &)> &check) {
  const std::size_t n = ops_.size();
  // covered[i]: the first sync after op i that puts it on disk (n: none).
  std::vector<std::size_t> covered(n, n);
  for (std::size_t i = 0; i < n; ++i) {
    const Op &op = ops_[i];
    if (op.kind == Kind::kSync || op.kind == Kind::kNote) {
      covered[i] = i;
      continue;
    }
    const auto first_sync_of = [&](Id node) {
      for (std::size_t k = i + 1; k < n; ++k)
        if (ops_[k].kind == Kind::kSync && ops_[k].node == node) return k;
      return n;
    };
    covered[i] = first_sync_of(op.node);
    if (op.kind == Kind::kRename) covered[i] = std::max(covered[i], first_sync_of(op.other));
  }

  std::set<std::string> seen;
  std::size_t checked = 0;
  const auto visit = [&](std::size_t crash, std::size_t prefix, bool torn) {
    Image image = start_;
    for (std::size_t i = 0; i < crash; ++i) {
      const bool durable = covered[i] < crash;
      if (durable || i < prefix)
        apply(image, ops_[i], std::string::npos);
      else if (torn && i == prefix)
        apply(image, ops_[i], ops_[i].bytes.size() / 2);
    }
    std::vector<std::string> notes;
    for (std::size_t i = 0; i < crash; ++i)
      if (ops_[i].kind == Kind::kNote) notes.push_back(ops_[i].bytes);
    const std::string key = canonical(image, root_) + "#" + std::to_string(notes.size());
    if (!seen.insert(key).second) return;
    char pattern[] = "/tmp/velkor-crash-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
    write_out(image, root_, pattern);
    check(pattern, notes);
    std::filesystem::remove_all(pattern);
    ++checked;
  };
  for (std::size_t crash = 0; crash <= n; ++crash) {
    // Between two syncs nothing more reaches the disk for sure: a crash just
    // before a sync (or after the last operation) stands for all of them.
    if (crash < n && ops_[crash].kind != Kind::kSync) continue;
    for (std::size_t prefix = 0; prefix <= crash; ++prefix) {
      visit(crash, prefix, false);
      if (prefix < crash && ops_[prefix].kind == Kind::kWrite && covered[prefix] >= crash &&
          ops_[prefix].bytes.size() > 1)
        visit(crash, prefix, true);
    }
  }
  return checked;
}

}  // namespace velkor::test
