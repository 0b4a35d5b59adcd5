// The spool across power cuts: a publisher's life (appends, flushes, records
// handed out and delivered, positions synced, a restart) recorded by
// CrashDisk, and every disk image a power cut could leave opened again.  In
// each: every record stored and not delivered is there, and no sequence
// number a subscriber may have seen can be given to another message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/mqtt/spool.h"
#include "tests/files/crash_disk.h"

namespace velkor::app::mqtt {
namespace {

const std::string kTopic = "velkor/0001/reads";

Record record(std::uint64_t seq) {
  return {kTopic, seq, "{\"seq\":" + std::to_string(seq) + ",\"epc\":\"" + std::string(40, 'A') + "\"}"};
}

TEST(SpoolCrash, NothingStoredIsLostAndNoNumberIsGivenTwice) {
  char pattern[] = "/tmp/velkor-spool-crash-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  test::CrashDisk disk(root);
  const std::string dir = root + "/sp";
  std::string error;

  // Notes: "stored N" once N is on disk, "handed N" once a subscriber may
  // have it, "delivered N" once the broker acknowledged it.
  std::uint64_t seq = 0;
  for (int run = 0; run < 2; ++run) {
    std::unique_ptr<Spool> spool = Spool::open(dir, 4096, &error, disk);
    ASSERT_TRUE(spool) << error;
    for (int round = 0; round < 4; ++round) {
      const std::uint64_t first = seq + 1;
      for (int i = 0; i < 3; ++i) spool->append(record(++seq));
      spool->flush();
      for (std::uint64_t s = first; s <= seq; ++s) disk.note("stored " + std::to_string(s));
      std::vector<std::uint64_t> handed;
      while (const Record *r = spool->next()) {
        handed.push_back(r->seq);
        disk.note("handed " + std::to_string(r->seq));
      }
      // The broker acknowledges all but the last of them.
      if (handed.size() > 1) {
        for (std::size_t i = 0; i + 1 < handed.size(); ++i)
          disk.note("delivered " + std::to_string(handed[i]));
        spool->commit(handed.size() - 1);
      }
      spool->rewind();
      if (round % 2 == 1) spool->sync();
    }
  }

  test::UnsyncedFileSystem quick;
  const std::size_t images = disk.for_each_crash([&](const std::string &at,
                                                     const std::vector<std::string> &notes) {
    std::set<std::uint64_t> stored, handed;
    for (const std::string &n : notes) {
      const std::uint64_t s = std::stoull(n.substr(n.find(' ') + 1));
      if (n.rfind("stored", 0) == 0) stored.insert(s);
      if (n.rfind("handed", 0) == 0) handed.insert(s);
      if (n.rfind("delivered", 0) == 0) stored.erase(s);
    }
    std::string why;
    std::unique_ptr<Spool> spool = Spool::open(at + "/sp", 4096, &why, quick);
    ASSERT_TRUE(spool) << why;
    std::map<std::uint64_t, Record> kept;
    while (const Record *r = spool->next()) {
      EXPECT_EQ(*r, record(r->seq)) << "seq " << r->seq << " holds another message";
      kept.emplace(r->seq, *r);
    }
    for (const std::uint64_t s : stored) EXPECT_TRUE(kept.count(s)) << "stored " << s << " was lost";
    const std::uint64_t seen = handed.empty() ? 0 : *handed.rbegin();
    EXPECT_GE(spool->last_seqs()[kTopic], seen) << "a number a subscriber saw would be given again";
  });
  EXPECT_GT(images, 50u);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace velkor::app::mqtt
