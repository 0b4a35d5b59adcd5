// The emulator's named-pipe server as a reader on a bad day, through the
// shipped DLL: a report that comes after the host's read limit is dropped
// before the next call, and a reader that stops reading fails each call in
// time.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "emulator/pipe_server.h"
#include "tests/support/served_reader.h"
#include "velkor_link.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// Waits until a report is waiting in the pipe.
bool report_waits(VelkorHandle handle) {
  DWORD waiting = 0;
  for (int i = 0; i < 200 && waiting == 0; ++i) {
    if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr)) return false;
    if (waiting == 0) Sleep(10);
  }
  return waiting > 0;
}

class PipeEmulator : public velkor::test::ServedReader<velkor::emu::PipeServer> {
 protected:
  void TearDown() override {
    server.with_emulator([](velkor::emu::Emulator &e) {
      for (const velkor::emu::Violation &v : e.violations()) ADD_FAILURE() << v.what;
    });
  }
};

TEST_F(PipeEmulator, ALateReportIsDroppedBeforeTheNextCall) {
  expect_late_reply_dropped(report_waits);
}

TEST_F(PipeEmulator, AReaderThatStopsReadingFailsEachCallInTime) {
  unsigned char serial[4];
  inject({.stop_reading = true});
  EXPECT_EQ(GetSeriaNo(&address, serial, server.handle()), STATUS_COMM_ERROR);
  // Polls fill the pipe until a write finds no room; none may block.
  unsigned char poll[2] = {0x03, CTRL_POLL};
  int written = 0;
  for (; written < 200; ++written) {
    const auto start = Clock::now();
    const int sent = SendDataToPort(poll, 2, server.handle());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    if (sent != 1) break;
  }
  EXPECT_LT(written, 200) << "the pipe never filled";
  const auto start = Clock::now();
  EXPECT_EQ(GetSeriaNo(&address, serial, server.handle()), STATUS_COMM_ERROR);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2600));
}

}  // namespace
