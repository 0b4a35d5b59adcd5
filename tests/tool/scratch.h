// A directory for a test's files, removed afterwards, and what tests that
// play two local users need: user ids of their own and a directory both
// may write to, as /tmp is.
#ifndef VELKOR_TESTS_TOOL_SCRATCH_H
#define VELKOR_TESTS_TOOL_SCRATCH_H

#include <sys/types.h>

#include <string>

namespace velkor::test {

/// The user the tool runs as in two-user tests, and the other user, who
/// plants files for it.  Neither needs an account: the test, run as root,
/// switches to the ids alone.
constexpr uid_t kVictim = 4242;
constexpr uid_t kOtherUser = 4243;

/// True when the test may switch users (it runs as root).
bool can_play_two_users();

class Scratch {
 public:
  /// A fresh directory under /tmp; `shared` makes it writable by every
  /// user and sticky, as /tmp is.
  explicit Scratch(bool shared = false);
  ~Scratch();
  Scratch(const Scratch &) = delete;
  Scratch &operator=(const Scratch &) = delete;

  std::string path(const std::string &name) const { return dir_ + "/" + name; }
  const std::string &dir() const { return dir_; }

 private:
  std::string dir_;
};

/// The file's bytes ("" when it cannot be read).
std::string slurp(const std::string &path);
/// Writes `text` to the file, replacing it.
void write_file(const std::string &path, const std::string &text);
/// Runs `action` in a child process as user and group `user`; true when it
/// returned true there.
bool as_user(uid_t user, bool (*action)(const std::string &), const std::string &argument);
/// A loopback port nothing listens on.
int closed_port();

}  // namespace velkor::test

#endif  // VELKOR_TESTS_TOOL_SCRATCH_H
