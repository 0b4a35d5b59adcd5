#include "tools/serve/access_token.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace velkor::serve {

std::string make_token() {
  unsigned char bytes[32];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::string("no random bytes for a token: ") +
                                         std::strerror(errno));
    got += static_cast<std::size_t>(n);
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string token;
  for (const unsigned char b : bytes) {
    token.push_back(kDigits[b >> 4]);
    token.push_back(kDigits[b & 15]);
  }
  return token;
}

std::string read_token_file(const std::string &path) {
  const auto fail = [&path](const std::string &why) {
    throw std::runtime_error("--token-file " + path + ": " + why);
  };
  // O_NONBLOCK: a FIFO named by mistake must not hang the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) fail(std::strerror(errno));
  struct stat st {};
  std::string text;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= 4096) {
    text.resize(static_cast<std::size_t>(st.st_size));
    const ssize_t n = ::read(fd, text.data(), text.size());
    text.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  } else {
    ::close(fd);
    fail("not a regular file of at most 4 KiB");
  }
  ::close(fd);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  if (text.size() < 16 || text.size() > 256) fail("the token must be 16 to 256 characters");
  for (const char c : text)
    if (c <= ' ' || c > '~' || c == ';' || c == ',' || c == '"' || c == '\\')
      fail("the token may hold printable characters but no spaces, quotes, commas, "
           "semicolons or backslashes");
  return text;
}

bool same_token(std::string_view expected, std::string_view given) {
  // Every byte of expected is looked at, whatever given holds.
  unsigned difference = expected.size() != given.size() ? 1U : 0U;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const unsigned char other = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
    difference |= static_cast<unsigned char>(expected[i]) ^ other;
  }
  return difference == 0;
}

}  // namespace velkor::serve
