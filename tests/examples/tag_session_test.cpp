// The C++ example run as a program against the emulator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/examples/example_run.h"

namespace {

using velkor::emu::Emulator;
using velkor::emu::SocketServer;
using velkor::test::ExampleRun;
using velkor::test::hex;
using velkor::test::inherited;

ExampleRun run_tag_session(const SocketServer &server) {
  return velkor::test::run_example(VELKOR_CPP_EXAMPLE_PATH, {"--handle", inherited(server)});
}

TEST(TagSession, InventoriesReadsTheTidAndWritesUserMemory) {
  SocketServer server({.seed = 7});
  std::string epc, tid;
  server.with_emulator([&](Emulator &e) {
    const auto &tag = e.reader().tags.gen2[0];
    epc = hex(tag.epc());
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t w : tag.banks[velkor::emu::kTidBank]) {
      bytes.push_back(static_cast<std::uint8_t>(w >> 8));
      bytes.push_back(static_cast<std::uint8_t>(w));
    }
    tid = hex(bytes);
  });
  const ExampleRun run = run_tag_session(server);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("inventory: 5 tags\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("tag 1  EPC " + epc + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("TID of tag 1: " + tid + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("user memory of tag 1: CAFEF00D\n"), std::string::npos) << run.out;
  server.with_emulator([](Emulator &e) {
    const auto &user = e.reader().tags.gen2[0].banks[velkor::emu::kUserBank];
    EXPECT_EQ(user[0], 0xCAFE);
    EXPECT_EQ(user[1], 0xF00D);
  });
}

// A failure ends the run with the status's and the tag error's words.
TEST(TagSession, ATagErrorIsReportedInWords) {
  SocketServer server({.seed = 10});
  server.with_emulator([](Emulator &e) { e.reader().gen2.tag_error = 0x0B; });
  const ExampleRun run = run_tag_session(server);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("ReadData_G2 failed with 0xFC (insufficient power): tag error"),
            std::string::npos)
      << run.err;
}

TEST(TagSession, AnEmptyFieldIsNoFailure) {
  SocketServer server({.seed = 9, .gen2_tags = 0});
  const ExampleRun run = run_tag_session(server);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "inventory: no tag answered\n");
}

}  // namespace
