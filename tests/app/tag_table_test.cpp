// The tag table: reads counted per tag, arrivals and departures by the
// departure time, tags named by their TID when the reader sends no EPC, and
// the orders a table is shown in.
#include <gtest/gtest.h>

#include "app/watch/tag_table.h"

namespace velkor::app {
namespace {

TagRead read(Bytes epc, std::int64_t ms, int antenna = 1, std::optional<Bytes> tid = {}) {
  return {1, WallClock::time_point(std::chrono::milliseconds(ms)), std::move(epc), antenna,
          std::move(tid)};
}

TEST(TagTable, ATagArrivesWhenReadWhileAbsentAndDepartsOnceUnreadTooLong) {
  TagTable table(1000);
  struct Step {
    Bytes epc;
    std::int64_t at_ms;
    bool arrives;
  };
  for (const Step &s : {Step{{0xAA}, 0, true}, Step{{0xBB}, 100, true}, Step{{0xAA}, 500, false},
                        Step{{0xBB}, 1100, false}})
    EXPECT_EQ(table.add(read(s.epc, s.at_ms), s.at_ms), s.arrives) << s.at_ms;
  EXPECT_TRUE(table.depart(1500).empty()) << "1000 ms unread is not too long";
  const std::vector<TagTable::Entry> gone = table.depart(1501);
  ASSERT_EQ(gone.size(), 1u);
  EXPECT_EQ(gone[0].epc, Bytes{0xAA});
  EXPECT_EQ(table.present(), 1u);
  EXPECT_TRUE(table.add(read({0xAA}, 1600), 1600)) << "back after departing: arrives again";
  EXPECT_EQ(table.entries()[0].reads, 3u) << "its count goes on";
  // Two departing together: the one read longest ago first.
  const std::vector<TagTable::Entry> both = table.depart(5000);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].epc, Bytes{0xBB});
  EXPECT_EQ(table.entries().size(), 2u) << "a watch's table keeps departed tags";
}

TEST(TagTable, AForgetfulTableKeepsOnlyTheTagsPresent) {
  TagTable table(10, true);
  table.add(read({0x01}, 0), 0);
  table.add(read({0x02}, 5), 5);
  ASSERT_EQ(table.depart(12).size(), 1u);
  ASSERT_EQ(table.entries().size(), 1u);
  EXPECT_EQ(table.entries()[0].epc, Bytes{0x02});
  EXPECT_FALSE(table.add(read({0x02}, 13), 13)) << "the index follows the entries";
  EXPECT_TRUE(table.add(read({0x01}, 13), 13));
}

TEST(TagTable, AReaderSendingTidsAloneHasItsTagsNamedByTid) {
  TagTable table;
  table.add(read({}, 0, 1, Bytes{0xE2, 0x01}), 0);
  table.add(read({}, 0, 1, Bytes{0xE2, 0x02}), 0);
  table.add(read({}, 1, 2, Bytes{0xE2, 0x01}), 1);
  ASSERT_EQ(table.entries().size(), 2u);
  EXPECT_EQ(table.entries()[0].reads, 2u);
  EXPECT_EQ(table.entries()[0].antenna, 2);
  EXPECT_EQ(table.reads(), 3u);
}

TEST(TagTable, SortsByEachOrderTiesByEpc) {
  TagTable table;
  table.add(read({0x03}, 10), 10);
  table.add(read({0x01}, 20), 20);
  table.add(read({0x02}, 20), 20);
  table.add(read({0x02}, 30), 30);
  auto order = [&](TagTable::Order o) {
    Bytes epcs;
    for (const TagTable::Entry *e : table.sorted(o)) epcs.push_back(e->epc[0]);
    return epcs;
  };
  EXPECT_EQ(order(TagTable::Order::kLastSeen), (Bytes{2, 1, 3}));
  EXPECT_EQ(order(TagTable::Order::kFirstSeen), (Bytes{3, 1, 2}));
  EXPECT_EQ(order(TagTable::Order::kReads), (Bytes{2, 1, 3}));
  EXPECT_EQ(order(TagTable::Order::kEpc), (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace velkor::app
