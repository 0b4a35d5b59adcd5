// The tag-identifier list as the inventories hand it back: records split,
// EPC and TID paired by the reader's count, a record that runs past the end.
#include <gtest/gtest.h>

#include "app/tags/tag_list.h"

namespace velkor::app {
namespace {

struct ListCase {
  const char *name;
  Bytes list;
  std::vector<Bytes> epcs;
};

class TagListDecode : public ::testing::TestWithParam<ListCase> {};

TEST_P(TagListDecode, SplitsRecordsAndStopsAtOneRunningPastTheEnd) {
  const ListCase &c = GetParam();
  EXPECT_EQ(decode_tag_list(c.list.data(), static_cast<int>(c.list.size())), c.epcs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagListDecode,
    ::testing::Values(
        ListCase{"empty", {}, {}},
        ListCase{"one", {2, 0x30, 0x08}, {{0x30, 0x08}}},
        ListCase{"two_of_different_length",
                 {2, 0xAA, 0xBB, 4, 1, 2, 3, 4},
                 {{0xAA, 0xBB}, {1, 2, 3, 4}}},
        ListCase{"empty_record_is_kept", {0, 1, 0x55}, {{}, {0x55}}},
        ListCase{"second_runs_past_the_end", {1, 0x11, 5, 1, 2}, {{0x11}}},
        ListCase{"first_runs_past_the_end", {12, 1, 2, 3}, {}},
        ListCase{"length_byte_alone_at_the_end", {1, 0x11, 3}, {{0x11}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TagListDecode, ANegativeLengthDecodesNothing) {
  const unsigned char list[] = {1, 0x11};
  EXPECT_TRUE(decode_tag_list(list, -1).empty());
}

TEST(TagListDecode, SaysWhenARecordRanPastTheEnd) {
  for (const auto &[list, cut] : {std::pair<Bytes, bool>{{1, 0x11, 5, 1}, true},
                                   std::pair<Bytes, bool>{{1, 0x11, 1, 2}, false},
                                   std::pair<Bytes, bool>{{}, false}}) {
    bool said = !cut;
    decode_tag_list(list.data(), static_cast<int>(list.size()), &said);
    EXPECT_EQ(said, cut) << to_hex(list);
  }
}

struct TidListCase {
  const char *name;
  Bytes list;
  int tag_count;
  std::vector<std::pair<Bytes, Bytes>> tags;  ///< EPC and TID
};

class TidListDecode : public ::testing::TestWithParam<TidListCase> {};

TEST_P(TidListDecode, PairsEpcAndTidByTheReadersCount) {
  const TidListCase &c = GetParam();
  std::vector<std::pair<Bytes, Bytes>> tags;
  for (const TagIds &t : decode_tid_list(c.list.data(), static_cast<int>(c.list.size()), c.tag_count))
    tags.emplace_back(t.epc, t.tid);
  EXPECT_EQ(tags, c.tags);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TidListDecode,
    ::testing::Values(
        TidListCase{"epc_then_tid_per_tag",
                    {2, 0x30, 0x08, 4, 0xE2, 0, 1, 2, 2, 0x31, 0x09, 2, 0xE2, 0},
                    2,
                    {{{0x30, 0x08}, {0xE2, 0, 1, 2}}, {{0x31, 0x09}, {0xE2, 0}}}},
        TidListCase{"tid_in_the_epcs_place", {2, 0xE2, 0, 2, 0xE2, 1}, 2,
                    {{{}, {0xE2, 0}}, {{}, {0xE2, 1}}}},
        TidListCase{"a_tag_without_tid_words", {1, 0x30, 0}, 1, {{{0x30}, {}}}},
        TidListCase{"a_pair_cut_short_reads_as_tids", {1, 0x30, 3, 0xE2}, 1, {{{}, {0x30}}}},
        TidListCase{"no_count_no_pairs", {1, 0x30, 1, 0xE2}, 0, {{{}, {0x30}}, {{}, {0xE2}}}}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::app
