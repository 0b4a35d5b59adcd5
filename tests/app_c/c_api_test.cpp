// The core's C API (libvelkor_app) as a C program or a binding sees it,
// against the built-in emulator: inventory with TIDs, the one-tag rule,
// settings with region 5, records decoded, a watch and a commissioning run
// reporting through callbacks, stopped by their handles and at a stage.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/app/scratch_dir.h"
#include "velkor_app.h"

namespace {

using velkor::test::Scratch;

velkor_app_session *emulated(int gen2 = 6, int feed = 0) {
  velkor_app_session_options o;
  velkor_app_session_options_init(&o);
  o.emulate = 1;
  o.gen2_tags = gen2;
  o.feed = feed;
  velkor_app_session *s = nullptr;
  velkor_app_error e;
  EXPECT_EQ(velkor_app_open(&o, &s, &e), VELKOR_APP_OK) << e.words;
  return s;
}

// A session closed when the test ends.
struct Open {
  explicit Open(velkor_app_session *s) : session(s) {}
  ~Open() { velkor_app_close(session, nullptr); }
  velkor_app_session *session;
};

std::vector<velkor_app_tag> inventory(velkor_app_session *s, int tid = 0) {
  std::vector<velkor_app_tag> tags(16);
  int count = 0;
  EXPECT_EQ(velkor_app_inventory(s, nullptr, tid, 1, tags.data(), 16, &count, nullptr),
            VELKOR_APP_OK);
  tags.resize(static_cast<std::size_t>(count));
  return tags;
}

TEST(AppCApi, AnInventoryGivesTagsWithTidsAndTheirDocuments) {
  Open r(emulated());
  const std::vector<velkor_app_tag> tags = inventory(r.session, 1);
  ASSERT_EQ(tags.size(), 6u);
  for (const velkor_app_tag &t : tags) {
    EXPECT_EQ(t.epc_length, 12);
    EXPECT_EQ(t.tid_length, 12);
    EXPECT_EQ(t.round, 1u);
    EXPECT_STREQ(t.uri, "") << "random EPCs are of no scheme";
  }
  char json[512];
  const int n = velkor_app_tag_json(&tags[0], 1, json, sizeof json);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(json).rfind(R"({"round":1,"time":")", 0), 0u) << json;
  EXPECT_NE(std::string(json).find(R"(,"uri":null})"), std::string::npos) << json;
  // Less room than tags: the count still says how many.
  velkor_app_tag two[2];
  int count = 0;
  ASSERT_EQ(velkor_app_inventory(r.session, nullptr, 0, 0, two, 2, &count, nullptr),
            VELKOR_APP_OK);
  EXPECT_EQ(count, 6);
  EXPECT_EQ(std::memcmp(two[1].epc, tags[1].epc, 12), 0);
}

TEST(AppCApi, TheOneTagRuleRefusesSeveralAndNamesTheTagItChanged) {
  const unsigned char data[] = {0xBE, 0xEF};
  velkor_app_target unnamed{};
  velkor_app_target changed{};
  velkor_app_error e;
  {
    Open six(emulated(6));
    EXPECT_EQ(velkor_app_write(six.session, &unnamed, VELKOR_BANK_USER, 0, data, 2, &changed, &e),
              VELKOR_APP_E_SEVERAL_TAGS);
    EXPECT_EQ(e.tags, 6);
    EXPECT_STREQ(e.words, "6 tags in the field; name the one to change");
    EXPECT_STREQ(e.operation, "write");
    EXPECT_EQ(velkor_app_settle(six.session, &unnamed, "lock", &changed, &e),
              VELKOR_APP_E_SEVERAL_TAGS);
  }
  Open one(emulated(1));
  const std::vector<velkor_app_tag> only = inventory(one.session);
  ASSERT_EQ(only.size(), 1u);
  ASSERT_EQ(velkor_app_write(one.session, &unnamed, VELKOR_BANK_USER, 0, data, 2, &changed, &e),
            VELKOR_APP_OK)
      << e.words;
  ASSERT_EQ(changed.epc_length, 12);
  EXPECT_EQ(std::memcmp(changed.epc, only[0].epc, 12), 0);
  unsigned char back[2] = {};
  ASSERT_EQ(velkor_app_read(one.session, &changed, VELKOR_BANK_USER, 0, 1, back, 2, &e),
            VELKOR_APP_OK);
  EXPECT_EQ(back[0], 0xBE);
  EXPECT_EQ(velkor_app_write(one.session, &unnamed, VELKOR_BANK_USER, 0, data, 1, &changed, &e),
            VELKOR_APP_E_BAD_INPUT)
      << "an odd byte is no word";
}

TEST(AppCApi, SettingsReadBackAsSetRegion5Included) {
  Open r(emulated());
  velkor_app_error e;
  ASSERT_EQ(velkor_app_set_region(r.session, 5, -1, -1, &e), VELKOR_APP_OK) << e.words;
  ASSERT_EQ(velkor_app_set_power(r.session, 20, &e), VELKOR_APP_OK);
  velkor_app_info info;
  ASSERT_EQ(velkor_app_read_info(r.session, 1, &info, &e), VELKOR_APP_OK);
  EXPECT_EQ(info.region.region, 5);
  EXPECT_EQ(info.region.highest, 18);
  EXPECT_EQ(info.packed.region, 2);
  EXPECT_EQ(info.packed.lowest, 26);
  EXPECT_EQ(info.power_dbm, 20);
  velkor_app_info decoded;
  velkor_app_decode_info(info.block, &decoded);
  EXPECT_EQ(decoded.region.region, 5) << "the block alone decodes the same";
  char json[1024];
  velkor_app_info_json(&info, 0, "emulator", *velkor_app_address(r.session), json, sizeof json);
  EXPECT_NE(std::string(json).find(R"("region":5,"lowest_channel":0,"highest_channel":18)"),
            std::string::npos)
      << json;

  EXPECT_EQ(velkor_app_set_region(r.session, 1, 0, 20, &e), VELKOR_APP_E_BAD_INPUT);
  EXPECT_STREQ(e.words, "region 1 has 20 channels, 0 to 19");
  EXPECT_EQ(velkor_app_set_power(r.session, 40, &e), VELKOR_APP_E_READER);
  EXPECT_EQ(e.status, STATUS_PARAMETER_ERROR);

  velkor_app_config_change change;
  velkor_app_config_change_init(&change);
  change.mode = 1;
  change.tid[0] = 2;
  change.tid[1] = 4;
  ASSERT_EQ(velkor_app_set_config(r.session, &change, &e), VELKOR_APP_OK) << e.words;
  velkor_app_config config;
  ASSERT_EQ(velkor_app_read_config(r.session, &config, &e), VELKOR_APP_OK);
  EXPECT_EQ(config.mode, 1);
  EXPECT_EQ(config.tid[1], 4);
  velkor_app_config_json(&config, json, sizeof json);
  EXPECT_NE(std::string(json).find(R"("mode":1,"mode_name":"auto")"), std::string::npos) << json;
}

TEST(AppCApi, RecordsDecodeAsTheCoreDecodesThem) {
  const unsigned char pairs[] = {2, 0x30, 0x08, 2, 0xE2, 0x00};
  velkor_app_tag tags[2];
  int count = 0;
  ASSERT_EQ(velkor_app_decode_records(pairs, 6, 1, 1, tags, 2, &count), VELKOR_APP_OK);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(tags[0].epc_length, 2);
  EXPECT_EQ(tags[0].tid_length, 2);
  EXPECT_EQ(tags[0].tid[0], 0xE2);
  const unsigned char cut[] = {1, 0x11, 5, 1};
  EXPECT_EQ(velkor_app_decode_records(cut, 4, 0, 0, tags, 2, &count), VELKOR_APP_E_BAD_INPUT);
  EXPECT_EQ(count, 1) << "the whole record before the cut is kept";
}

struct Events {
  std::map<std::string, int> count;
  std::vector<std::string> order;
  velkor_app_stop *stop_at_round_2 = nullptr;
  int stage_to_end = -1;
  unsigned tag_to_end = 0;
};

void on_event(const char *name, const char *json, void *user) {
  auto *e = static_cast<Events *>(user);
  ++e->count[name];
  e->order.push_back(name);
  if (e->stop_at_round_2 && std::string(name) == "round" &&
      std::string(json).find(R"("round":2,)") != std::string::npos)
    velkor_app_stop_request(e->stop_at_round_2);
}

int on_stage(int stage, unsigned taken, void *user) {
  auto *e = static_cast<Events *>(user);
  return stage == e->stage_to_end && taken == e->tag_to_end;
}

TEST(AppCApi, AWatchReportsThroughCallbacksAndStopsByItsHandle) {
  Open r(emulated(3));
  Events seen;
  velkor_app_callbacks calls{on_event, nullptr, nullptr, &seen};
  velkor_app_watch_options o{};
  o.rounds = 3;
  velkor_app_watch_summary summary;
  ASSERT_EQ(velkor_app_watch(r.session, &o, &calls, nullptr, &summary, nullptr), VELKOR_APP_OK);
  EXPECT_EQ(summary.rounds, 3u);
  EXPECT_EQ(summary.stopped, 0);
  EXPECT_EQ(summary.unique, 3);
  EXPECT_EQ(seen.count["read"], 9);
  EXPECT_EQ(seen.count["round"], 3);
  EXPECT_EQ(seen.count["arrive"], 3);

  Events stopping;
  velkor_app_stop *stop = velkor_app_stop_new();
  stopping.stop_at_round_2 = stop;
  velkor_app_callbacks stop_calls{on_event, nullptr, nullptr, &stopping};
  ASSERT_EQ(velkor_app_watch(r.session, nullptr, &stop_calls, stop, &summary, nullptr),
            VELKOR_APP_OK);
  velkor_app_stop_free(stop);
  EXPECT_EQ(summary.stopped, 1);
  EXPECT_EQ(summary.rounds, 2u);
}

// A run ended at a stage (as a crash would) resumes on the next call; a
// serial whose tag is lost is voided through the options.
TEST(AppCApi, CommissioningResumesAfterARunEndedAtAStage) {
  Scratch dir;
  const std::string journal = dir.path("log.csv");
  Open r(emulated(0, 5));
  const unsigned char password[4] = {1, 2, 3, 4};
  const int lock[] = {VELKOR_LOCK_EPC};
  velkor_app_commission_options o{};
  o.gtin = "80614141123458";
  o.prefix_length = 7;
  o.serial_from = 1;
  o.count = 5;
  o.journal = journal.c_str();
  o.access_password = password;
  o.lock = lock;
  o.lock_count = 1;
  Events ended;
  ended.stage_to_end = VELKOR_APP_STAGE_AFTER_WRITE;
  ended.tag_to_end = 2;
  velkor_app_callbacks calls{on_event, on_stage, nullptr, &ended};
  velkor_app_commission_summary summary;
  velkor_app_error e;
  ASSERT_EQ(velkor_app_commission(r.session, &o, &calls, nullptr, &summary, &e),
            VELKOR_APP_E_STOPPED);
  EXPECT_EQ(summary.done, 1);
  EXPECT_EQ(summary.interrupted, 1);

  Events resumed;
  velkor_app_callbacks resume_calls{on_event, nullptr, nullptr, &resumed};
  ASSERT_EQ(velkor_app_commission(r.session, &o, &resume_calls, nullptr, &summary, &e),
            VELKOR_APP_OK)
      << e.words;
  EXPECT_EQ(summary.end, VELKOR_APP_COMPLETE);
  EXPECT_EQ(summary.done, 5);
  EXPECT_EQ(resumed.order.front(), "interrupted");
  EXPECT_EQ(resumed.count["resuming"], 1);
  EXPECT_EQ(resumed.count["tag"], 4);
  EXPECT_EQ(resumed.order.back(), "end");

  // Six serials now: the sixth's tag never comes, and a void closes it out.
  o.count = 6;
  const char *lost[] = {"6"};
  o.voids = lost;
  o.void_count = 1;
  Events voided;
  velkor_app_callbacks void_calls{on_event, nullptr, nullptr, &voided};
  ASSERT_EQ(velkor_app_commission(r.session, &o, &void_calls, nullptr, &summary, &e),
            VELKOR_APP_OK)
      << e.words;
  EXPECT_EQ(voided.count["void"], 1);
  EXPECT_EQ(summary.done, 5);
  EXPECT_EQ(summary.interrupted, 0);
}

TEST(AppCApi, ErrorsSayWhatFailed) {
  velkor_app_session_options o;
  velkor_app_session_options_init(&o);
  o.emulate = 1;
  o.emulate_state = "/nonexistent/dir/state.json";
  velkor_app_session *s = nullptr;
  velkor_app_error e;
  EXPECT_EQ(velkor_app_open(&o, &s, &e), VELKOR_APP_E_BAD_INPUT);
  EXPECT_EQ(s, nullptr);
  EXPECT_NE(std::string(e.words).find("/nonexistent/dir"), std::string::npos) << e.words;
  EXPECT_STREQ(e.operation, "open");
  EXPECT_EQ(velkor_app_inventory(nullptr, nullptr, 0, 0, nullptr, 0, nullptr, &e),
            VELKOR_APP_E_BAD_INPUT);
  EXPECT_EQ(velkor_app_close(nullptr, &e), VELKOR_APP_OK);
}

}  // namespace
