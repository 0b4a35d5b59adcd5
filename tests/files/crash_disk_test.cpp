// What a power cut leaves of a replace and of synced appends, at every point
// CrashDisk can stop them; and CrashDisk finding the fault of a replace that
// renames a file it never synced.
#include "tests/files/crash_disk.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/files/directory.h"
#include "app/files/regular_file.h"
#include "app/files/replace.h"

namespace velkor::test {
namespace {

class CrashDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-disk-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string root_;
};

TEST_F(CrashDiskTest, AReplacedFileHoldsTheOldTextOrTheNewAfterAnyCrash) {
  std::ofstream(root_ + "/state") << "version 0\n";
  CrashDisk disk(root_);
  app::Directory dir;
  std::string error;
  ASSERT_TRUE(dir.open(root_, {}, disk, &error)) << error;
  for (int version = 1; version <= 3; ++version) {
    ASSERT_TRUE(app::replace_file(dir, "state", "version " + std::to_string(version) + "\n",
                                  0644, &error)) << error;
    disk.note(std::to_string(version));
  }
  const std::size_t images = disk.for_each_crash([](const std::string &at,
                                                    const std::vector<std::string> &notes) {
    // At least the last version replace_file returned; never a torn one.
    const int done = notes.empty() ? 0 : std::stoi(notes.back());
    const std::string text = slurp(at + "/state");
    bool known = false;
    for (int v = done; v <= 3; ++v) known |= text == "version " + std::to_string(v) + "\n";
    EXPECT_TRUE(known) << "after " << done << " replaces the file holds '" << text << "'";
  });
  EXPECT_GT(images, 3u);
}

TEST_F(CrashDiskTest, SyncedAppendsAreThereAfterAnyCrash) {
  CrashDisk disk(root_);
  app::Directory dir;
  std::string error;
  ASSERT_TRUE(dir.open(root_, {}, disk, &error)) << error;
  app::Descriptor log;
  ASSERT_EQ(app::open_regular(dir, "log", O_WRONLY | O_APPEND | O_CREAT | O_EXCL, 0644, &log,
                              &error),
            app::Opened::kOpen);
  ASSERT_TRUE(dir.sync(&error));
  for (int line = 1; line <= 4; ++line) {
    ASSERT_TRUE(app::write_all(disk, log.get(), "line " + std::to_string(line) + "\n"));
    ASSERT_TRUE(app::sync_file(disk, log.get()));
    disk.note("line " + std::to_string(line) + "\n");
  }
  disk.for_each_crash([](const std::string &at, const std::vector<std::string> &notes) {
    std::string synced;
    for (const std::string &n : notes) synced += n;
    EXPECT_EQ(slurp(at + "/log").substr(0, synced.size()), synced);
  });
}

// A replace done carelessly: written, not synced, renamed.  CrashDisk must
// find the image with the new name and no text, or it proves nothing.
TEST_F(CrashDiskTest, FindsTheEmptyFileOfAReplaceThatNeverSynced) {
  std::ofstream(root_ + "/state") << "old\n";
  CrashDisk disk(root_);
  app::Directory dir;
  std::string error;
  ASSERT_TRUE(dir.open(root_, {}, disk, &error)) << error;
  {
    app::Descriptor file;
    ASSERT_EQ(app::open_regular(dir, "state.new", O_WRONLY | O_CREAT | O_TRUNC, 0644, &file,
                                &error),
              app::Opened::kOpen);
    ASSERT_TRUE(app::write_all(disk, file.get(), "new\n"));
  }
  ASSERT_EQ(disk.rename_at(dir.fd(), "state.new", dir.fd(), "state"), 0);
  ASSERT_TRUE(dir.sync(&error));
  bool emptied = false;
  disk.for_each_crash([&](const std::string &at, const std::vector<std::string> &) {
    emptied |= std::filesystem::exists(at + "/state") && slurp(at + "/state").empty();
  });
  EXPECT_TRUE(emptied);
}

}  // namespace
}  // namespace velkor::test
