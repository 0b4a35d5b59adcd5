// One program at a time: a second locker is refused or waits, and the lock
// holds across replacing the file it guards (it lives on a file of its own).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/files/directory.h"
#include "app/files/file_lock.h"
#include "app/files/replace.h"

namespace velkor::app {
namespace {

class FileLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-lock-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    path_ = pattern;
    std::string error;
    ASSERT_TRUE(dir_.open(path_, {}, system_file_system(), &error)) << error;
  }
  void TearDown() override { std::filesystem::remove_all(path_); }

  Locked take(FileLock &lock, bool wait, std::string *error) {
    return lock.acquire(dir_, "state.json.lock", 0644, wait, "'state.json'", error);
  }

  std::string path_;
  Directory dir_;
};

TEST_F(FileLockTest, ASecondHolderIsRefusedEvenAfterTheFileWasReplaced) {
  FileLock first, second;
  std::string error;
  ASSERT_EQ(take(first, false, &error), Locked::kYes) << error;
  for (int save = 0; save < 3; ++save) {
    ASSERT_TRUE(replace_file(dir_, "state.json", "{}\n", 0644, &error)) << error;
    EXPECT_EQ(take(second, false, &error), Locked::kBusy);
    EXPECT_EQ(error, "'state.json' is in use by another program");
    EXPECT_FALSE(second.held());
  }
  first.release();
  EXPECT_EQ(take(second, false, &error), Locked::kYes) << error;
}

// The state of a thread of this process: 'S' while it sleeps in a call.
char state_of(pid_t thread) {
  std::ifstream in("/proc/self/task/" + std::to_string(thread) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t end = text.rfind(')');
  return end == std::string::npos || end + 2 >= text.size() ? '?' : text[end + 2];
}

TEST_F(FileLockTest, AWaitingHolderSleepsUntilTheLockIsFree) {
  FileLock first;
  std::string error;
  ASSERT_EQ(take(first, false, &error), Locked::kYes) << error;
  std::atomic<pid_t> thread{0};
  std::atomic<bool> released{false}, done{false};
  Locked got = Locked::kFailed;
  bool before_release = false;
  std::thread waiter([&] {
    thread = ::gettid();
    FileLock second;
    std::string e;
    got = take(second, true, &e);
    before_release = !released;
    done = true;
  });
  // Until the waiter sleeps in the lock (or, wrongly, did not wait at all).
  while (!done && (thread == 0 || state_of(thread) != 'S')) std::this_thread::yield();
  released = true;
  first.release();
  waiter.join();
  EXPECT_EQ(got, Locked::kYes);
  EXPECT_FALSE(before_release) << "the waiter did not wait";
}

}  // namespace
}  // namespace velkor::app
