// A directory of its own for a test's files, removed with everything in it
// when the test ends.
#ifndef VELKOR_TESTS_APP_SCRATCH_DIR_H
#define VELKOR_TESTS_APP_SCRATCH_DIR_H

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace velkor::test {

class Scratch {
 public:
  Scratch() {
    char dir[] = "/tmp/velkor-test-XXXXXX";
    dir_ = mkdtemp(dir) ? dir : "/tmp";
  }
  ~Scratch() {
    std::error_code ignored;
    if (dir_ != "/tmp") std::filesystem::remove_all(dir_, ignored);
  }
  Scratch(const Scratch &) = delete;
  Scratch &operator=(const Scratch &) = delete;
  std::string path(const std::string &name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_APP_SCRATCH_DIR_H
