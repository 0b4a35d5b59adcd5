// The C example run as a program against the emulator: the emulator's host
// end is handed to it as an inherited descriptor (--handle N), as an
// application would hand it an already open reader.
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

ExampleRun run_example(std::vector<std::string> args) {
  return velkor::test::run_example(VELKOR_EXAMPLE_PATH, std::move(args));
}

std::string tid_hex(const velkor::emu::Gen2Tag &tag) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t word : tag.banks[velkor::emu::kTidBank]) {
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    bytes.push_back(static_cast<std::uint8_t>(word));
  }
  return hex(bytes);
}

TEST(FirstInventory, PrintsTheInformationBlockEveryEpcAndTheFirstTagsTid) {
  SocketServer server({.seed = 7});
  std::vector<std::string> epcs;
  std::string tid;
  server.with_emulator([&](Emulator &e) {
    for (const auto &tag : e.reader().tags.gen2) epcs.push_back(hex(tag.epc()));
    tid = tid_hex(e.reader().tags.gen2[0]);
  });
  ASSERT_EQ(epcs.size(), 5u);

  const ExampleRun run = run_example({"--handle", inherited(server)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("firmware   3.1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("protocols  EPC-Gen2 ISO-18000-6B\n"), std::string::npos);
  EXPECT_NE(run.out.find("power      30 dBm\n"), std::string::npos);
  EXPECT_NE(run.out.find("inventory: 5 tags\n"), std::string::npos) << run.out;
  for (std::size_t i = 0; i < epcs.size(); ++i)
    EXPECT_NE(run.out.find("tag " + std::to_string(i + 1) + "  EPC " + epcs[i] + "\n"),
              std::string::npos)
        << run.out;
  ASSERT_EQ(tid.size(), 24u);
  EXPECT_NE(run.out.find("TID of tag 1: " + tid + "\n"), std::string::npos) << run.out;
}

TEST(FirstInventory, ReadsTheClassIdentifierOfATagWithATwoWordTid) {
  SocketServer server({.seed = 8});
  std::string tid;
  server.with_emulator([&](Emulator &e) {
    auto &tag = e.reader().tags.gen2[0];
    tag.banks[velkor::emu::kTidBank].resize(2);
    tid = tid_hex(tag);
  });
  const ExampleRun run = run_example({"--handle", inherited(server)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("TID of tag 1: " + tid + "\n"), std::string::npos) << run.out;
}

TEST(FirstInventory, AnEmptyFieldIsNoFailure) {
  SocketServer server({.seed = 9, .gen2_tags = 0});
  const ExampleRun run = run_example({"--handle", inherited(server)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("inventory: no tag answered\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("TID"), std::string::npos) << run.out;
}

TEST(FirstInventory, ATagErrorOnTheTidReadFailsTheRun) {
  SocketServer server({.seed = 10});
  server.with_emulator([](Emulator &e) { e.reader().gen2.tag_error = 0x0B; });
  const ExampleRun run = run_example({"--handle", inherited(server)});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("inventory: 5 tags\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("TID read failed: tag error 0x0B"), std::string::npos) << run.err;
}

TEST(FirstInventory, AReaderThatIsGoneFailsTheRun) {
  SocketServer server({.seed = 11});
  server.disconnect();
  const ExampleRun run = run_example({"--handle", inherited(server)});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("reader information failed: 0x30"), std::string::npos) << run.err;
}

TEST(FirstInventory, VersionPrintsTheLibrarysVersion) {
  const ExampleRun run = run_example({"--version"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "first_inventory: Velkor library " VELKOR_VERSION "\n");
}

TEST(FirstInventory, RefusesAHandleThatIsNotANumber) {
  for (const char *bad : {"x", "-1", "3x", ""}) {
    const ExampleRun run = run_example({"--handle", bad});
    EXPECT_EQ(run.exit_code, 2) << bad;
    EXPECT_NE(run.err.find("not a device handle"), std::string::npos) << bad;
  }
}

}  // namespace
