// Eight readers driven at once, each by its own thread over its own socket
// pair: the library keeps no state, so the calls must not disturb each other.
// Run under ThreadSanitizer by scripts/test-all.sh.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kThreads = 8;
constexpr int kCommandsPerThread = 200;

// What one reader answers, read off its emulator before the run.
struct Known {
  Bytes info;
  Bytes version;
  Bytes id6b;
};

Known known_of(velkor::emu::SocketServer &server) {
  return server.with_emulator([](velkor::emu::Emulator &e) {
    const auto &id = e.reader().tags.iso6b.front().id;
    const auto &v = e.reader().identity.module_version;
    return Known{e.reader().information_block(), Bytes(v.begin(), v.end()),
                 Bytes(id.begin(), id.end())};
  });
}

// Runs a mix of quick single-reply commands, each checked against what this
// reader must answer; returns the failures.
std::vector<std::string> drive(int index, velkor::emu::SocketServer &server) {
  const Known known = known_of(server);
  const VelkorHandle h = server.handle();
  std::vector<std::string> failures;
  auto check = [&](bool ok, int i, const char *what) {
    if (!ok) failures.push_back("reader " + std::to_string(index) + " command " +
                                std::to_string(i) + ": " + what);
  };
  unsigned char address = 0x00;
  Bytes serial(4);
  unsigned char save_len = 0;
  for (int i = 0; i < kCommandsPerThread; ++i) {
    switch (i % 7) {
      case 0: {
        serial = {static_cast<unsigned char>(index), static_cast<unsigned char>(i >> 8),
                  static_cast<unsigned char>(i), 0x5A};
        check(SetSeriaNo(&address, serial.data(), h) == STATUS_OK, i, "SetSeriaNo");
        break;
      }
      case 1: {
        Bytes back(4, 0xEE);
        check(GetSeriaNo(&address, back.data(), h) == STATUS_OK && back == serial, i,
              "GetSeriaNo");
        break;
      }
      case 2: {
        Bytes version(2, 0xEE);
        check(GetModuleVersion(&address, version.data(), h) == STATUS_OK &&
                  version == known.version,
              i, "GetModuleVersion");
        break;
      }
      case 3: {
        Bytes b(12, 0xEE);
        const int code = GetReaderInformation(&address, &b[0], &b[2], &b[3], &b[4], &b[5],
                                              &b[6], &b[7], &b[8], &b[9], &b[10], &b[11], h);
        check(code == STATUS_OK && b == known.info, i, "GetReaderInformation");
        break;
      }
      case 4:
        save_len = static_cast<unsigned char>(1 + (index * 7 + i) % 62);
        check(SetSaveLen(&address, save_len, h) == STATUS_OK, i, "SetSaveLen");
        break;
      case 5: {
        unsigned char back = 0;
        check(GetSaveLen(&address, &back, h) == STATUS_OK && back == save_len, i,
              "GetSaveLen");
        break;
      }
      default: {
        Bytes id = known.id6b, data(8, 0xEE);
        int error = 0;
        check(ReadData_6B(&address, id.data(), 0, 8, data.data(), &error, h) == STATUS_OK &&
                  data == known.id6b && error == -1,
              i, "ReadData_6B");
        break;
      }
    }
  }
  return failures;
}

TEST(ConcurrentReaders, EightThreadsTwoHundredCommandsEach) {
  std::vector<std::unique_ptr<velkor::emu::SocketServer>> servers;
  for (int t = 0; t < kThreads; ++t)
    servers.push_back(std::make_unique<velkor::emu::SocketServer>(
        velkor::emu::ReaderOptions{.seed = static_cast<std::uint64_t>(100 + t)}));
  std::array<std::vector<std::string>, kThreads> failures;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] { failures[t] = drive(t, *servers[t]); });
  for (std::thread &thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_TRUE(failures[t].empty()) << failures[t].size() << " failures, first: "
                                     << (failures[t].empty() ? "" : failures[t].front());
  }
  // Every reader saw all of its own commands and no other's.
  for (int t = 0; t < kThreads; ++t) {
    servers[t]->with_emulator([&](velkor::emu::Emulator &e) {
      EXPECT_EQ(e.frames_received(), static_cast<std::size_t>(kCommandsPerThread));
      EXPECT_EQ(e.reader().identity.serial[0], t);
    });
  }
}

}  // namespace
