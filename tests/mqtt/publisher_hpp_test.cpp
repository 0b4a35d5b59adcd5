// The C++ layer over libvelkor_mqtt: a refused start throws the library's
// reason, and reads published while the broker is away survive the
// publisher in its spool, in order, for the next one.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "velkor_mqtt.hpp"

namespace {

using velkor::mqtt::Publisher;
using namespace std::chrono_literals;

// A loopback port that refuses connections for as long as this lives: bound
// but not listening.  A port merely found free could be taken meanwhile by
// any listener on the machine (another test's broker takes its port the same
// way), and the publisher would deliver to it.
class RefusingPort {
 public:
  RefusingPort() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr *>(&a), len) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr *>(&a), &len) != 0)
      throw std::runtime_error("no loopback port");
    number_ = ntohs(a.sin_port);
  }
  ~RefusingPort() { close(fd_); }
  RefusingPort(const RefusingPort &) = delete;
  RefusingPort &operator=(const RefusingPort &) = delete;
  int number() const { return number_; }

 private:
  int fd_;
  int number_ = 0;
};

TEST(MqttPublisherHpp, RefusedSettingsThrowTheReason) {
  const struct {
    std::string url;
    std::vector<velkor::mqtt::Setting> settings;
    const char *reason;
  } cases[] = {
      {"http://broker", {}, "mqtt"},
      {"mqtt://127.0.0.1", {{"qos", "3"}}, "qos"},
      {"mqtt://127.0.0.1", {{"bogus", "1"}}, "bogus"},
  };
  for (const auto &c : cases) {
    try {
      Publisher p(c.url, "0A1B2C3D", c.settings, {}, 0ms);
      ADD_FAILURE() << c.url << " started";
    } catch (const velkor::mqtt::Error &e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

TEST(MqttPublisherHpp, ReadsWaitInTheSpoolWhileTheBrokerIsAway) {
  const auto spool = std::filesystem::temp_directory_path() /
                     ("velkor-hpp-spool-" + std::to_string(getpid()));
  std::filesystem::remove_all(spool);
  const RefusingPort port;
  const std::string url = "mqtt://127.0.0.1:" + std::to_string(port.number());
  const std::vector<velkor::mqtt::Setting> settings{{"spool", spool.string()}};
  std::size_t queued = 0;
  {
    Publisher p(url, "0A1B2C3D", settings, {}, 0ms);
    const std::size_t before = p.waiting();
    for (unsigned i = 0; i < 3; ++i) p.publish_read("E2000000000000000000000" + std::to_string(i), 1, 1);
    queued = p.waiting();
    EXPECT_EQ(queued, before + 6);  // each read, and its tag arriving
    Publisher moved = std::move(p);  // the publisher keeps working after a move
    moved.service();
    EXPECT_EQ(moved.finish(0ms), queued);  // all kept for the next run
    EXPECT_THROW(moved.end_round(), velkor::mqtt::Error);
  }
  Publisher next(url, "0A1B2C3D", settings, {}, 0ms);
  EXPECT_GE(next.waiting(), queued);
  std::filesystem::remove_all(spool);
}

}  // namespace
