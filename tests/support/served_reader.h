// A test fixture with an emulated reader served in real time (a socket pair's
// SocketServer on Linux, a named pipe's PipeServer on Windows), reached
// through the shipped library, and the late-report case both platforms run.
#ifndef VELKOR_TESTS_SERVED_READER_H
#define VELKOR_TESTS_SERVED_READER_H

#include <gtest/gtest.h>

#include <vector>

#include "emulator/emulator.h"
#include "velkor.h"

namespace velkor::test {

template <typename Server>
class ServedReader : public ::testing::Test {
 protected:
  using Bytes = std::vector<unsigned char>;

  void SetUp() override {
    server.with_emulator([&](emu::Emulator &e) { epc = e.reader().tags.gen2[0].epc(); });
  }
  void inject(const emu::Faults &f) {
    server.with_emulator([&](emu::Emulator &e) { e.inject_next(f); });
  }
  // Two EPC-bank words of the first tag from word pointer `pointer` on.
  int read(unsigned char pointer, Bytes &words, VelkorHandle handle) {
    unsigned char password[4] = {};
    int error = 0;
    words.assign(4, 0xEE);
    return ReadData_G2(&address, epc.data(), static_cast<unsigned char>(epc.size() / 2), 1,
                       pointer, 2, password, 0, nullptr, 0, nullptr, words.data(), &error,
                       handle);
  }
  int read(unsigned char pointer, Bytes &words) { return read(pointer, words, server.handle()); }

  // A reply that comes after the host's read limit waits on the handle when
  // the next call starts; that call must not take it for its own.
  // report_waits(handle) waits until a report is there (on a slow machine
  // it may still be on its way when the first call gives up).
  template <typename Waits>
  void expect_late_reply_dropped(Waits report_waits) {
    Bytes at2, at3, got;
    ASSERT_EQ(read(2, at2), STATUS_OK);
    ASSERT_EQ(read(3, at3), STATUS_OK);
    ASSERT_NE(at2, at3);
    inject({.late_ms = 150});
    EXPECT_EQ(read(2, got), STATUS_COMM_ERROR);
    ASSERT_TRUE(report_waits(server.handle())) << "the late report never came";
    EXPECT_EQ(read(3, got), STATUS_OK);
    EXPECT_EQ(got, at3) << "the late reply to pointer 2 answered pointer 3";
  }

  Server server{{.seed = 11}};
  unsigned char address = 0x00;
  Bytes epc;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_SERVED_READER_H
