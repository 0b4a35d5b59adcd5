// The spool on disk: order and commits across reopening, a torn record, the
// size limit, and one process at a time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/mqtt/spool.h"

namespace velkor::app::mqtt {
namespace {

namespace fs = std::filesystem;

class SpoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-spool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<Spool> open(std::size_t limit = 1 << 20) {
    std::string error;
    auto spool = Spool::open(dir_, limit, &error);
    EXPECT_TRUE(spool) << error;
    return spool;
  }
  static Record record(std::uint64_t seq) {
    return {"velkor/0001/reads", seq, "{\"seq\":" + std::to_string(seq) + ",\"pad\":\"" +
                                          std::string(60, 'x') + "\"}"};
  }
  static std::vector<std::uint64_t> drain(Outbox &o) {
    std::vector<std::uint64_t> seqs;
    while (const Record *r = o.next()) seqs.push_back(r->seq);
    return seqs;
  }

  std::string dir_;
};

TEST_F(SpoolTest, RecordsAndCommitsOutliveReopening) {
  {
    auto spool = open();
    for (std::uint64_t s = 1; s <= 5; ++s) spool->append(record(s));
    EXPECT_EQ(spool->next(), nullptr) << "handed out before it was on disk";
    spool->flush();
    ASSERT_EQ(spool->next()->seq, 1u);
    ASSERT_EQ(*spool->next(), record(2));
    spool->next();
    spool->commit(2);
    EXPECT_EQ(spool->pending(), 3u);
  }
  auto spool = open();
  EXPECT_EQ(spool->pending(), 3u);
  EXPECT_EQ(drain(*spool), (std::vector<std::uint64_t>{3, 4, 5}));
  EXPECT_EQ(spool->last_seqs().at("velkor/0001/reads"), 5u);
}

TEST_F(SpoolTest, RewindHandsOutAgainFromTheOldestUncommitted) {
  auto spool = open();
  for (std::uint64_t s = 1; s <= 4; ++s) spool->append(record(s));
  spool->flush();
  drain(*spool);
  spool->commit(1);
  spool->rewind();
  EXPECT_EQ(drain(*spool), (std::vector<std::uint64_t>{2, 3, 4}));
}

TEST_F(SpoolTest, ARecordTornByACrashIsCutOff) {
  open()->append(record(1));
  for (const auto &f : fs::directory_iterator(dir_))
    if (f.path().extension() == ".seg") std::ofstream(f.path(), std::ios::app) << "2\tvelkor/0001/re";
  auto spool = open();
  spool->append(record(3));
  spool->flush();
  EXPECT_EQ(spool->pending(), 2u);
  EXPECT_EQ(*spool->next(), record(1));
  EXPECT_EQ(*spool->next(), record(3));
}

TEST_F(SpoolTest, OverItsLimitTheOldestGoAndAreCounted) {
  auto spool = open(4096);
  std::size_t dropped = 0;
  for (std::uint64_t s = 1; s <= 200; ++s) dropped += spool->append(record(s));
  ASSERT_GT(dropped, 0u);
  EXPECT_EQ(spool->pending() + dropped, 200u);
  spool->flush();
  const std::vector<std::uint64_t> left = drain(*spool);
  ASSERT_EQ(left.size(), spool->pending());
  for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(left[i], dropped + 1 + i);
  std::uintmax_t bytes = 0;
  for (const auto &f : fs::directory_iterator(dir_))
    if (f.path().extension() == ".seg") bytes += fs::file_size(f.path());
  EXPECT_LE(bytes, 4096u + spool->segment_limit());
}

TEST_F(SpoolTest, SequenceNumbersOutliveTheSegmentsThatHeldThem) {
  {
    auto spool = open(4096);
    for (std::uint64_t s = 1; s <= 100; ++s) {
      spool->append(record(s));
      spool->flush();
      spool->next();
      spool->commit(1);
    }
    EXPECT_EQ(spool->pending(), 0u);
  }
  EXPECT_EQ(open(4096)->last_seqs().at("velkor/0001/reads"), 100u);
}

TEST_F(SpoolTest, OneProcessAtATime) {
  auto first = open();
  std::string error;
  EXPECT_FALSE(Spool::open(dir_, 1 << 20, &error));
  EXPECT_NE(error.find("in use"), std::string::npos) << error;
}

}  // namespace
}  // namespace velkor::app::mqtt
