// The C example run as a program against the emulator: the emulator's host
// end is handed to it as an inherited descriptor (--handle N), as an
// application would hand it an already open reader.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/socket_server.h"

extern char **environ;

namespace {

using velkor::emu::Emulator;
using velkor::emu::SocketServer;

struct ExampleRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string slurp(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n > 0) {
      text.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return text;
}

// Runs the example with args and collects what it prints.
ExampleRun run_example(std::vector<std::string> args) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  args.insert(args.begin(), VELKOR_EXAMPLE_PATH);
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, VELKOR_EXAMPLE_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  ExampleRun run;
  run.out = slurp(out[0]);
  run.err = slurp(err[0]);
  int status = 0;
  if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    run.exit_code = WEXITSTATUS(status);
  return run;
}

// The host end, left open across exec so that the example inherits it.
std::string inherited(const SocketServer &server) {
  const int fd = server.handle();
  ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) & ~FD_CLOEXEC);
  return std::to_string(fd);
}

std::string hex(const std::vector<std::uint8_t> &bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
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
