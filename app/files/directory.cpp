#include "app/files/directory.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velkor::app {

namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY;

// The path without trailing slashes ("/" stays "/").
std::string trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// "<parent>", "<last>" of a path without trailing slashes.
std::pair<std::string, std::string> split(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string octal_mode(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

}  // namespace

std::string file_error(const std::string &what, const std::string &path) {
  return "cannot " + what + " '" + path + "': " + std::strerror(errno);
}

bool Directory::open(const std::string &given, const DirectoryRules &rules, FileSystem &fs,
                     std::string *error) {
  const std::string path = trimmed(given);
  path_ = given;
  if (path.empty()) {
    *error = "no directory named";
    return false;
  }
  int fd = fs.open_at(AT_FDCWD, path, kDirectoryFlags, 0);
  if (fd < 0 && errno == ENOENT && rules.create) {
    // Made in its parent, so that the directory sync covers its name.
    const auto [parent, last] = split(path);
    Descriptor up(fs, fs.open_at(AT_FDCWD, parent, kDirectoryFlags, 0));
    if (!up.valid()) {
      *error = file_error("open the directory", parent);
      return false;
    }
    if (fs.make_directory_at(up.get(), last, rules.create_mode) != 0 && errno != EEXIST) {
      *error = file_error("create the directory", given);
      return false;
    }
    if (fs.sync(up.get()) != 0) {
      *error = file_error("sync the directory", parent);
      return false;
    }
    fd = fs.open_at(up.get(), last, kDirectoryFlags, 0);
  }
  if (fd < 0) {
    *error = errno == ENOTDIR ? "'" + given + "' is not a directory"
                              : file_error("open the directory", given);
    return false;
  }
  fd_ = Descriptor(fs, fd);
  if (!rules.private_only) return true;
  struct stat st {};
  if (fs.stat(fd, &st) != 0) {
    *error = file_error("examine the directory", given);
    fd_.reset();
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    *error = "the directory '" + given + "' belongs to user " + std::to_string(st.st_uid) +
             ", not to you (user " + std::to_string(::geteuid()) +
             "): another user could plant files in it; use a directory of your own";
    fd_.reset();
    return false;
  }
  if ((st.st_mode & 022) != 0) {
    *error = "the directory '" + given + "' may be written by " +
             ((st.st_mode & 002) ? "every user" : "its group") + " (mode " +
             octal_mode(st.st_mode) +
             "): they could plant files in it; make it private (chmod go-w) or use another";
    fd_.reset();
    return false;
  }
  return true;
}

bool Directory::open_parent_of(const std::string &file_path, FileSystem &fs, std::string *name,
                               std::string *error) {
  if (file_path.empty() || file_path.back() == '/') {
    *error = "'" + file_path + "' names no file";
    return false;
  }
  const auto [parent, last] = split(file_path);
  *name = last;
  if (!open(parent, {}, fs, error)) return false;
  // Messages name files as the user wrote them.
  const std::size_t slash = file_path.rfind('/');
  path_ = slash == std::string::npos ? "" : file_path.substr(0, slash == 0 ? 1 : slash);
  return true;
}

std::string Directory::path_of(const std::string &name) const {
  if (path_.empty()) return name;
  return path_.back() == '/' ? path_ + name : path_ + "/" + name;
}

bool Directory::sync(std::string *error) const {
  if (fs().sync(fd()) == 0) return true;
  *error = file_error("sync the directory", path_.empty() ? "." : path_);
  return false;
}

bool Directory::names(std::vector<std::string> *names, std::string *error) const {
  if (fs().list(fd(), names) == 0) return true;
  *error = file_error("list the directory", path_.empty() ? "." : path_);
  return false;
}

bool Directory::remove(const std::string &name, std::string *error) const {
  if (fs().unlink_at(fd(), name, 0) == 0 || errno == ENOENT) return true;
  *error = file_error("remove", path_of(name));
  return false;
}

}  // namespace velkor::app
