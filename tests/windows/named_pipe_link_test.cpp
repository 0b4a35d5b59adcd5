// The Win32 platform in real time, over a message-mode named pipe: the
// library gets the client end as its device handle, and a peer thread on the
// server end plays the reader's report protocol.  Every 64-byte write is one
// message and every read returns one message, as reports do on a HID device.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "velkor_link.hpp"

namespace {

using Bytes = std::vector<unsigned char>;
using Report = std::array<unsigned char, 64>;
using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
      .count();
}

// Answers each poll report with the next piece of its reply (62 bytes at
// most) once a command frame has arrived, or with an empty report; the first
// `ignored` polls get no answer at all.  Records every report it receives.
// A deaf peer reads nothing until listen(), and its pipe buffers a single
// report, so that a second write has to wait.
class Peer {
 public:
  enum Hearing { kListening, kDeaf };

  Peer(Bytes reply, int ignored, Hearing hearing = kListening)
      : reply_(std::move(reply)), ignored_(ignored) {
    const DWORD buffer = hearing == kDeaf ? 64 : 4096;
    static std::atomic<int> serial{0};
    const std::wstring name = L"\\\\.\\pipe\\velkor-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(serial++);
    server_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                               1, buffer, buffer, 0, nullptr);
    EXPECT_NE(server_, INVALID_HANDLE_VALUE);
    client_ = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    EXPECT_NE(client_, INVALID_HANDLE_VALUE);
    DWORD mode = PIPE_READMODE_MESSAGE;
    EXPECT_TRUE(SetNamedPipeHandleState(client_, &mode, nullptr, nullptr));
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    listen_ = CreateEventW(nullptr, TRUE, hearing == kListening, nullptr);
    thread_ = std::thread([this] { serve(); });
  }

  ~Peer() {
    hang_up();
    CloseHandle(client_);
    CloseHandle(stop_);
    CloseHandle(listen_);
  }

  /// The library's device handle.
  VelkorHandle handle() const { return client_; }

  /// A deaf peer starts reading.
  void listen() { SetEvent(listen_); }

  /// Stops answering and closes the server end: the device is gone.  Every
  /// report the library wrote before is received first.
  void hang_up() {
    if (!thread_.joinable()) return;
    SetEvent(stop_);
    thread_.join();
    DisconnectNamedPipe(server_);
    CloseHandle(server_);
  }

  std::vector<Report> received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  /// Report ID and code (or count) of every report received, in order.
  std::vector<std::array<unsigned char, 2>> heads() const {
    std::vector<std::array<unsigned char, 2>> out;
    for (const Report &r : received()) out.push_back({r[0], r[1]});
    return out;
  }

 private:
  // Reads one message; false once the stop event is set or the pipe fails.
  bool read(Report &in, DWORD &n) {
    OVERLAPPED ov{};
    ov.hEvent = event_;
    if (!ReadFile(server_, in.data(), in.size(), nullptr, &ov) &&
        GetLastError() != ERROR_IO_PENDING)
      return false;
    const HANDLE waits[2] = {event_, stop_};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
      CancelIoEx(server_, &ov);
      GetOverlappedResult(server_, &ov, &n, TRUE);
      return false;
    }
    return GetOverlappedResult(server_, &ov, &n, FALSE);
  }

  bool write(const Report &out) {
    OVERLAPPED ov{};
    ov.hEvent = event_;
    DWORD n = 0;
    if (!WriteFile(server_, out.data(), out.size(), nullptr, &ov) &&
        GetLastError() != ERROR_IO_PENDING)
      return false;
    return GetOverlappedResult(server_, &ov, &n, TRUE) && n == out.size();
  }

  void serve() {
    const HANDLE start[2] = {listen_, stop_};
    if (WaitForMultipleObjects(2, start, FALSE, INFINITE) != WAIT_OBJECT_0) return;
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::size_t sent = 0;
    bool loaded = false;
    int polls = 0;
    for (;;) {
      Report in{};
      DWORD n = 0;
      if (!read(in, n)) break;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(in);
      }
      if (n != in.size()) continue;
      if (in[0] == 0x02) {
        loaded = true;
        sent = 0;
      } else if (in[0] == 0x03 && in[1] == CTRL_POLL && ++polls > ignored_) {
        Report out{0x01};
        if (loaded && sent < reply_.size()) {
          const std::size_t c = std::min<std::size_t>(62, reply_.size() - sent);
          out[1] = static_cast<unsigned char>(c);
          std::memcpy(out.data() + 2, reply_.data() + sent, c);
          sent += c;
        }
        if (!write(out)) break;
      }
    }
    CloseHandle(event_);
  }

  Bytes reply_;
  int ignored_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
  HANDLE client_ = INVALID_HANDLE_VALUE;
  HANDLE stop_ = nullptr;
  HANDLE listen_ = nullptr;
  HANDLE event_ = nullptr;  // the peer thread's own
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<Report> received_;
};

// A reply frame: length byte, the body, CRC.
Bytes framed(Bytes body) {
  body.insert(body.begin(), static_cast<unsigned char>(body.size() + 2));
  body.resize(body.size() + 2);
  GetCRC(body.data(), static_cast<int>(body.size() - 2));
  return body;
}

// The request of GetReaderInformation at address 0: length, address,
// command 0x21, CRC.
const Bytes kRequest = {0x04, 0x00, 0x21, 0xD9, 0x6A};

using Head = std::array<unsigned char, 2>;
using Heads = std::vector<Head>;
constexpr Head kPoll = {0x03, CTRL_POLL};
constexpr Head kAck = {0x03, CTRL_ACK};
constexpr Head kData5 = {0x02, 0x05};

// SendDataToPort with kRequest, which loads the peer's reply.
int send_request(Peer &peer) {
  Bytes request = kRequest;
  return SendDataToPort(request.data(), static_cast<unsigned>(request.size()),
                        peer.handle());
}

// What a collector returned, delivered and took.
struct Collected {
  int status = -1;
  int count = -1;        // left at -1 when the collector does not write it
  Bytes buffer = Bytes(6000, 0xEE);
  long long ms = 0;

  /// The first count bytes of the buffer.
  Bytes reply() const {
    return count < 0 ? Bytes{} : Bytes(buffer.begin(), buffer.begin() + count);
  }
};

using CollectorFn = int (*)(unsigned char *, int *, VelkorHandle);

Collected collect(CollectorFn collector, Peer &peer) {
  Collected c;
  const auto start = Clock::now();
  c.status = collector(c.buffer.data(), &c.count, peer.handle());
  c.ms = ms_since(start);
  return c;
}

// Runs f with 4 KB more of the stack in use, so that none of its frames lies
// where the frames of an earlier call lay.
template <typename F>
[[gnu::noinline]] auto deeper_in_the_stack(F f) {
  unsigned char pad[4096];
  asm volatile("" : : "r"(pad) : "memory");  // the pad stays in the frame
  return f();
}

TEST(NamedPipeLink, CommandAndTwoReportReplyInRealTime) {
  Bytes body = {0x00, 0x21, 0x00};
  for (int i = 0; i < 70; ++i) body.push_back(static_cast<unsigned char>(i));
  const Bytes reply = framed(body);  // 76 bytes: 62 + 14
  Peer peer(reply, 0);

  ASSERT_EQ(send_request(peer), 1);
  const Collected got = collect(GetDataFromPort, peer);
  EXPECT_EQ(got.status, STATUS_OK);
  EXPECT_EQ(got.reply(), reply);
  EXPECT_GE(got.ms, 100) << "two poll cycles with a 50 ms pause each";
  EXPECT_LT(got.ms, 1000);

  peer.hang_up();
  Report data_report{0x02, 0x05};
  std::copy(kRequest.begin(), kRequest.end(), data_report.begin() + 2);
  ASSERT_FALSE(peer.received().empty());
  EXPECT_EQ(peer.received()[0], data_report) << "02, count, the frame, zeros";
  EXPECT_EQ(peer.heads(), (Heads{kData5, kPoll, kAck, kPoll, kAck}));
}

// The peer leaves the first poll unanswered: the library's read runs into
// its 100 ms limit and is cancelled.  Left pending, it would take the answer
// to the next poll into the report buffer of a call that has returned, and
// the next read would find nothing.  The second call runs deeper in the
// stack, so that its buffer, OVERLAPPED and event are not those of the first
// (which would hide the fault).
TEST(NamedPipeLink, ReadOfASilentDeviceIsCancelledAndTheNextPollWorks) {
  const Bytes reply = framed({0x00, 0x21, 0x00, 0x11, 0x22});
  Peer peer(reply, 1);
  ASSERT_EQ(send_request(peer), 1);

  const Collected first = collect(GetDataFromPort, peer);
  EXPECT_EQ(first.status, STATUS_COMM_ERROR);
  EXPECT_GE(first.ms, 140) << "100 ms read limit, then the 50 ms pause";
  EXPECT_LT(first.ms, 600);
  EXPECT_EQ(first.buffer[0], 0) << "a failed read clears the first reply byte";
  EXPECT_EQ(first.count, -1);

  const Collected second =
      deeper_in_the_stack([&] { return collect(GetDataFromPort, peer); });
  EXPECT_EQ(second.status, STATUS_OK);
  EXPECT_EQ(second.reply(), reply);
  EXPECT_LT(second.ms, 400) << "answered by the first poll";

  peer.hang_up();
  EXPECT_EQ(peer.heads(), (Heads{kData5, kPoll, kPoll, kAck}))
      << "no acknowledgement for the report that never came";
}

// A collector that lives through silence: three unanswered polls, each
// cancelled after 100 ms, then the final frame.
TEST(NamedPipeLink, InventoryCollectorPollsOnThroughSilence) {
  const Bytes reply = framed({0x00, 0x01, 0x01, 0x01, 0x00});
  Peer peer(reply, 3);
  ASSERT_EQ(send_request(peer), 1);

  const Collected got = collect(GetInventoryDataFromPort1, peer);
  EXPECT_EQ(got.status, STATUS_OK);
  EXPECT_EQ(got.reply(), reply);
  EXPECT_GE(got.ms, 3 * 140 + 50);
  EXPECT_LT(got.ms, 1500);

  peer.hang_up();
  EXPECT_EQ(peer.heads(), (Heads{kData5, kPoll, kPoll, kPoll, kPoll, kAck}));
}

// A write the device does not take within 50 ms counts as not written, and
// is cancelled: the report never reaches the device, even once it reads
// again.
TEST(NamedPipeLink, WriteTheDeviceDoesNotTakeIsCancelled) {
  const Bytes reply = framed({0x00, 0x21, 0x00, 0x33});
  Peer peer(reply, 0, Peer::kDeaf);
  ASSERT_EQ(send_request(peer), 1) << "the pipe holds one report";
  unsigned char poll[2] = {0x03, CTRL_POLL};
  const auto start = Clock::now();
  EXPECT_EQ(SendDataToPort(poll, 2, peer.handle()), 0);
  const long long ms = ms_since(start);
  EXPECT_GE(ms, 45) << "the 50 ms write limit";
  EXPECT_LT(ms, 500);

  peer.listen();
  const Collected got = collect(GetDataFromPort, peer);
  EXPECT_EQ(got.status, STATUS_OK);
  EXPECT_EQ(got.reply(), reply);

  peer.hang_up();
  EXPECT_EQ(peer.heads(), (Heads{kData5, kPoll, kAck}))
      << "only the poll of GetDataFromPort arrives";
}

TEST(NamedPipeLink, ClosedPipeFailsWithCommError) {
  Peer peer(framed({0x00, 0x21, 0x00}), 0);
  peer.hang_up();

  EXPECT_EQ(send_request(peer), 0);
  const Collected got = collect(GetDataFromPort, peer);
  EXPECT_EQ(got.status, STATUS_COMM_ERROR);
  EXPECT_LT(got.ms, 500) << "the poll report cannot be written";
  EXPECT_EQ(got.count, -1);
  EXPECT_EQ(got.buffer[0], 0xEE) << "no read was made";

  unsigned char address = 0x05;
  unsigned char info[12];
  std::memset(info, 0xEE, sizeof info);
  EXPECT_EQ(GetReaderInformation(&address, info, info + 2, info + 3, info + 4,
                                 info + 5, info + 6, info + 7, info + 8,
                                 info + 9, info + 10, info + 11, peer.handle()),
            STATUS_COMM_ERROR);
  EXPECT_EQ(address, 0x05);
  EXPECT_EQ(info[0], 0xEE);
}

}  // namespace
