#include "app/files/replace.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "app/files/regular_file.h"

namespace velkor::app {

namespace {

constexpr std::size_t kRandomDigits = 16;
constexpr int kAttempts = 8;
constexpr const char *kSuffix = ".tmp";

// 64 bits from the kernel's random source: not guessable by another user
// who would plant a link under the name beforehand.
std::string random_hex() {
  std::random_device source;
  const std::uint64_t value =
      (std::uint64_t(source()) << 32) ^ std::uint64_t(source());
  char text[kRandomDigits + 1];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

bool is_temporary_name(const std::string &candidate, const std::string &name) {
  const std::string prefix = "." + name + ".";
  const std::size_t suffix = std::char_traits<char>::length(kSuffix);
  if (candidate.size() != prefix.size() + kRandomDigits + suffix ||
      candidate.compare(0, prefix.size(), prefix) != 0 ||
      candidate.compare(candidate.size() - suffix, suffix, kSuffix) != 0)
    return false;
  return std::all_of(candidate.begin() + std::ptrdiff_t(prefix.size()),
                     candidate.end() - std::ptrdiff_t(suffix),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

bool replace_file(const Directory &dir, const std::string &name, std::string_view text,
                  mode_t mode_if_new, std::string *error) {
  FileSystem &fs = dir.fs();
  const std::string path = dir.path_of(name);

  // What is there now: its mode is kept; anything but a regular file stays.
  bool existed = false;
  mode_t mode = mode_if_new;
  {
    Descriptor old(fs, fs.open_at(dir.fd(), name, O_PATH | O_NOFOLLOW, 0));
    struct stat st {};
    if (old.valid()) {
      if (fs.stat(old.get(), &st) != 0) {
        *error = file_error("examine", path);
        return false;
      }
      if (!S_ISREG(st.st_mode)) {
        *error = not_regular(path, st.st_mode);
        return false;
      }
      existed = true;
      mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
      *error = file_error("examine", path);
      return false;
    }
  }

  Descriptor file;
  std::string temporary;
  for (int attempt = 0; attempt < kAttempts && !file.valid(); ++attempt) {
    temporary = "." + name + "." + random_hex() + kSuffix;
    // Private while it is written: the old file's readers may be fewer.
    const int fd = fs.open_at(dir.fd(), temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                              existed ? 0600 : mode_if_new);
    if (fd >= 0) {
      file = Descriptor(fs, fd);
    } else if (errno != EEXIST) {
      *error = file_error("create a file beside", path);
      return false;
    }
  }
  if (!file.valid()) {
    *error = "cannot create a file beside '" + path + "': every name tried was taken";
    return false;
  }
  const bool written = (!existed || fs.change_mode(file.get(), mode) == 0) &&
                       write_all(fs, file.get(), text) && sync_file(fs, file.get());
  if (!written) {
    *error = file_error("write", dir.path_of(temporary));
    file.reset();
    fs.unlink_at(dir.fd(), temporary, 0);
    return false;
  }
  file.reset();
  if (fs.rename_at(dir.fd(), temporary, dir.fd(), name) != 0) {
    *error = file_error("rename a new file over", path);
    fs.unlink_at(dir.fd(), temporary, 0);
    return false;
  }
  return dir.sync(error);
}

bool remove_leftovers(const Directory &dir, const std::string &name, std::string *error) {
  std::vector<std::string> names;
  if (!dir.names(&names, error)) return false;
  for (const std::string &n : names)
    if (is_temporary_name(n, name) && !dir.remove(n, error)) return false;
  return true;
}

}  // namespace velkor::app
