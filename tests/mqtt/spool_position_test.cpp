// What a spool finds when it opens: a position file that is damaged, empty,
// torn or names what is not there, segment names it never writes, and a
// second publisher it must refuse.  Whatever it finds, no undelivered record
// goes without a word, and no sequence number is used again for another
// message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/mqtt/spool.h"

namespace velkor::app::mqtt {
namespace {

namespace fs = std::filesystem;

const std::string kReads = "velkor/0001/reads";
const std::string kEvents = "velkor/0001/events";

std::string slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Record record(const std::string &topic, std::uint64_t seq) {
  return {topic, seq, "{\"seq\":" + std::to_string(seq) + ",\"pad\":\"" + std::string(80, 'x') + "\"}"};
}

class SpoolPositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-position-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<Spool> open() {
    std::string error;
    auto spool = Spool::open(dir_, 8192, &error);
    EXPECT_TRUE(spool) << error;
    return spool;
  }
  // Three events, then thirty reads over several segments; the first ten
  // records delivered.  Returns the undelivered ones, oldest first.
  std::vector<Record> fill() {
    std::vector<Record> all;
    for (std::uint64_t s = 1; s <= 3; ++s) all.push_back(record(kEvents, s));
    for (std::uint64_t s = 1; s <= 30; ++s) all.push_back(record(kReads, s));
    auto spool = open();
    for (const Record &r : all) spool->append(r);
    spool->sync();
    for (int i = 0; i < 10; ++i) spool->next();
    spool->commit(10);
    spool->sync();
    return {all.begin() + 10, all.end()};
  }
  std::map<std::string, std::string> files() const {
    std::map<std::string, std::string> out;
    for (const auto &f : fs::directory_iterator(dir_)) out[f.path().filename()] = slurp(f.path());
    return out;
  }
  std::string first_segment() const { return files().begin()->first; }

  std::string dir_;
};

TEST_F(SpoolPositionTest, WhateverThePositionSaysNothingUndeliveredIsLostNorANumberUsedTwice) {
  struct Case {
    const char *what;
    std::function<std::string(const std::string &first)> position;  // given the oldest segment
    bool orphan = false;  // an older version left read 31 in a segment of 13 digits
  };
  const auto id = [](const std::string &segment) { return std::to_string(std::stoull(segment)); };
  for (const Case &c : {
           Case{"empty, as a power cut can leave it", [](const std::string &) { return ""; }},
           Case{"torn", [](const std::string &) { return "1"; }},
           Case{"not a position", [](const std::string &) { return "\x7f" "ELF\x02\x01"; }},
           Case{"past every segment", [](const std::string &) { return "999999999999 0\n"; }},
           Case{"past every segment, which named the next 13 digits long",
                [](const std::string &) { return "999999999999 0\n"; }, true},
           Case{"naming a segment that is not there",
                [&](const std::string &first) { return std::to_string(std::stoull(first) + 100) + " 0\n"; }},
           Case{"past the end of its segment", [&](const std::string &first) { return id(first) + " 99999\n"; }},
           Case{"inside a record", [&](const std::string &first) { return id(first) + " 7\n"; }},
       }) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir_);
    std::vector<Record> undelivered = fill();
    std::ofstream(dir_ + "/position", std::ios::trunc) << c.position(first_segment());
    if (c.orphan) {
      undelivered.push_back(record(kReads, 31));
      std::ofstream(dir_ + "/1000000000000.seg") << "31\t" << kReads << "\t"
                                                 << record(kReads, 31).payload << "\n";
    }

    auto spool = open();
    ASSERT_TRUE(spool);
    // Every undelivered record, in order; delivered ones may come again,
    // but only as they were.
    std::vector<Record> handed;
    while (const Record *r = spool->next()) handed.push_back(*r);
    std::size_t at = 0;
    for (const Record &r : handed) {
      if (at < undelivered.size() && r == undelivered[at]) {
        ++at;
      } else {
        EXPECT_EQ(r.payload, record(r.topic, r.seq).payload) << "seq " << r.seq << " changed";
      }
    }
    EXPECT_EQ(at, undelivered.size()) << "undelivered records went; handed " << handed.size();
    // The numbers go on from where they were, for both topics.
    const std::uint64_t last = spool->last_seqs()[kReads];
    EXPECT_GE(last, undelivered.back().seq);
    EXPECT_GE(spool->last_seqs()[kEvents], 3u);
    // A record appended now is found by the next run.
    spool->append(record(kReads, last + 1));
    spool->sync();
    spool.reset();
    spool = open();
    bool found = false;
    while (const Record *r = spool->next()) found |= *r == record(kReads, last + 1);
    EXPECT_TRUE(found) << "a new record was lost";
  }
}

TEST_F(SpoolPositionTest, ARefusedSecondOpenLeavesEveryFileAsItWas) {
  fill();
  auto first = open();
  const std::map<std::string, std::string> before = files();
  std::string error;
  EXPECT_FALSE(Spool::open(dir_, 8192, &error));
  EXPECT_NE(error.find("in use by another"), std::string::npos) << error;
  EXPECT_EQ(files(), before);
}

}  // namespace
}  // namespace velkor::app::mqtt
