// The commissioning journal across power cuts: two runs of a station
// (writing line, tag written, outcome line) recorded by CrashDisk, and every
// disk image a power cut could leave opened again as the rerun opens it.  In
// each the log opens, and every serial issued to a tag is in it, so the
// rerun never issues it again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "app/commission/journal.h"
#include "tests/files/crash_disk.h"

namespace velkor::app {
namespace {

constexpr int kFirstSerial = 1000;
constexpr int kSerials = 10;

std::string epc_of(int serial) {
  char hex[25];
  std::snprintf(hex, sizeof hex, "30140000000000000000%04X", serial);
  return hex;
}

// The next serial the station would issue: the first with no line.
int next_free(const Journal &journal) {
  for (int s = kFirstSerial; s < kFirstSerial + kSerials; ++s)
    if (!journal.last_of(epc_of(s))) return s;
  return -1;
}

TEST(JournalCrash, ASerialIssuedToATagIsNeverIssuedAgain) {
  char pattern[] = "/tmp/velkor-journal-crash-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  test::CrashDisk disk(root);
  std::string error;
  int tid = 0;
  for (const int tags : {4, 3}) {
    Journal journal;
    ASSERT_TRUE(journal.open(root + "/log.csv", &error, disk)) << error;
    for (int t = 0; t < tags; ++t) {
      const int serial = next_free(journal);
      ASSERT_GE(serial, 0);
      JournalEntry entry{"2026-12-09T10:00:00.000Z", std::to_string(serial), epc_of(serial), "",
                         "E200" + std::to_string(1000 + tid++), kWriting};
      ASSERT_TRUE(journal.append(entry, &error)) << error;
      // The line is on disk: now the tag takes the serial.
      disk.note(std::to_string(serial));
      entry.result = kOk;
      ASSERT_TRUE(journal.append(entry, &error)) << error;
    }
  }

  test::UnsyncedFileSystem quick;
  const std::size_t images = disk.for_each_crash([&](const std::string &at,
                                                     const std::vector<std::string> &issued) {
    Journal rerun;
    std::string why;
    ASSERT_TRUE(rerun.open(at + "/log.csv", &why, quick)) << why;
    for (const std::string &serial : issued)
      EXPECT_TRUE(rerun.last_of(epc_of(std::stoi(serial))))
          << "serial " << serial << " went to a tag and would be issued again";
    const int last = issued.empty() ? kFirstSerial - 1 : std::stoi(issued.back());
    EXPECT_GT(next_free(rerun), last);
  });
  EXPECT_GT(images, 20u);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace velkor::app
