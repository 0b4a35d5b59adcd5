#include "tools/cli/output/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velkor::tool {

OutputFile::OutputFile(const std::string &path, std::string *error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = "--output: cannot write '" + path + "': " + std::strerror(errno);
    return;
  }
  std::fflush(stdout);
  saved_ = ::dup(STDOUT_FILENO);
  if (saved_ < 0 || ::dup2(fd, STDOUT_FILENO) < 0) {
    *error = "--output: '" + path + "': " + std::strerror(errno);
    if (saved_ >= 0) ::close(saved_);
    saved_ = -1;
  }
  ::close(fd);
}

OutputFile::~OutputFile() {
  if (saved_ < 0) return;
  std::fflush(stdout);
  ::dup2(saved_, STDOUT_FILENO);
  ::close(saved_);
}

}  // namespace velkor::tool
