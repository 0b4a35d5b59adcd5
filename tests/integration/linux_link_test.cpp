// The real Linux platform over a SOCK_SEQPACKET socketpair, in real time: a
// peer thread plays the reader's report protocol.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "velkor_link.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every poll with the next piece of its reply stream (62 bytes at
// most), or an empty report; a data report (a command frame) loads the reply.
class Peer {
 public:
  Peer(std::vector<unsigned char> reply, bool silent)
      : reply_(std::move(reply)), silent_(silent) {
    int fds[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
    host_ = fds[0];
    peer_ = fds[1];
    thread_ = std::thread([this] { serve(); });
  }
  ~Peer() {
    shutdown(host_, SHUT_RDWR);
    thread_.join();
    close(host_);
    close(peer_);
  }
  int handle() const { return host_; }
  std::vector<unsigned char> frame;  // the last command frame received
  std::atomic<int> polls{0};

 private:
  void serve() {
    unsigned char in[64];
    std::size_t sent = 0;
    bool loaded = false;
    for (;;) {
      const ssize_t n = read(peer_, in, sizeof in);
      if (n <= 0) return;
      if (n != 64) continue;
      if (in[0] == 0x02) {
        frame.assign(in + 2, in + 2 + in[1]);
        loaded = true;
        sent = 0;
      } else if (in[0] == 0x03 && in[1] == 0x0A) {
        ++polls;
        if (silent_) continue;
        unsigned char out[64] = {0x01};
        if (loaded && sent < reply_.size()) {
          const std::size_t c = std::min<std::size_t>(62, reply_.size() - sent);
          out[1] = static_cast<unsigned char>(c);
          std::memcpy(out + 2, reply_.data() + sent, c);
          sent += c;
        }
        if (write(peer_, out, 64) != 64) return;
      }
    }
  }
  std::vector<unsigned char> reply_;
  bool silent_;
  int host_ = -1;
  int peer_ = -1;
  std::thread thread_;
};

std::vector<unsigned char> framed(std::vector<unsigned char> body) {
  body.insert(body.begin(), static_cast<unsigned char>(body.size() + 2));
  body.resize(body.size() + 2);
  GetCRC(body.data(), static_cast<int>(body.size() - 2));
  return body;
}

TEST(LinuxLink, OneCommandAndItsReplyInRealTime) {
  std::vector<unsigned char> data(70);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i);
  std::vector<unsigned char> body = {0x00, 0x21, 0x00};
  body.insert(body.end(), data.begin(), data.end());
  const auto reply = framed(body);  // 76 bytes: two reports
  Peer peer(reply, false);

  unsigned char request[5] = {0x04, 0x00, 0x21, 0xD9, 0x6A};
  const auto start = Clock::now();
  ASSERT_EQ(SendDataToPort(request, 5, peer.handle()), 1);
  std::vector<unsigned char> got(6000);
  int count = 0;
  ASSERT_EQ(GetDataFromPort(got.data(), &count, peer.handle()), STATUS_OK);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start).count();
  EXPECT_EQ(count, static_cast<int>(reply.size()));
  EXPECT_TRUE(std::equal(reply.begin(), reply.end(), got.begin()));
  EXPECT_EQ(peer.frame, std::vector<unsigned char>(request, request + 5));
  EXPECT_EQ(peer.polls.load(), 2);
  EXPECT_GE(ms, 100) << "two poll cycles of 50 ms";
  EXPECT_LT(ms, 400);
}

TEST(LinuxLink, SilentPeerGivesUpAfterAboutOneSecond) {
  Peer peer({}, true);  // never answers a poll: every read runs into its limit
  unsigned char request[5] = {0x04, 0x00, 0x21, 0xD9, 0x6A};
  SendDataToPort(request, 5, peer.handle());
  std::vector<unsigned char> got(6000, 0xEE);
  int count = -1;
  const auto start = Clock::now();
  EXPECT_EQ(GetInventoryDataFromPort1(got.data(), &count, peer.handle()),
            STATUS_COMM_ERROR);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start).count();
  EXPECT_EQ(count, 0);
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 1400);
}

TEST(LinuxLink, EmptyRepliesAlsoEndAfterAboutOneSecond) {
  Peer peer({}, false);  // answers every poll with an empty report
  std::vector<unsigned char> got(6000, 0xEE);
  int count = -1;
  const auto start = Clock::now();
  EXPECT_EQ(GetDataFromPort(got.data(), &count, peer.handle()), STATUS_COMM_ERROR);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start).count();
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 1400);
  EXPECT_EQ(count, -1);
}

}  // namespace
