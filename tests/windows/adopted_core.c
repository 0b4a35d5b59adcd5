/*
 * A C program on Windows against velkor_app.dll, as the .NET binding uses it:
 * velkor_emulator.dll serves a reader on its named pipe, the handle goes to
 * the core (velkor_app_adopt), and the core's inventory, information and
 * settings, one-tag rule and watch run over Velkor.dll.  What the Windows
 * build leaves out refuses in words.
 *
 *   velkor_adopted_core
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "velkor.h"
#include "velkor_app.h"
#include "velkor_emulator.h"
#include "check.h"

#define TAGS 6

/* The round holds each of the model's tags, once, without TIDs. */
static void inventory_finds_the_model(velkor_app_session *session, VelkorHandle handle,
                                      velkor_app_tag *tags) {
  velkor_app_error error;
  int count = -1, i, j;
  CHECK(velkor_app_inventory(session, NULL, 0, 1, tags, TAGS + 4, &count, &error) ==
        VELKOR_APP_OK);
  CHECK(count == TAGS);
  for (i = 0; i < TAGS; ++i) {
    unsigned char epc[64];
    const int length = velkor_emulator_gen2_epc(handle, i, epc, sizeof epc);
    int found = 0;
    for (j = 0; j < count && j < TAGS; ++j)
      found += tags[j].epc_length == length && memcmp(tags[j].epc, epc, (size_t)length) == 0;
    CHECK(length > 0 && found == 1);
  }
  for (j = 0; j < count && j < TAGS; ++j) CHECK(tags[j].tid_length == -1 && tags[j].round == 1);
}

/* Region 5 set through the core reads back as region 5, decoded. */
static void region_five_reads_back(velkor_app_session *session) {
  velkor_app_info info;
  velkor_app_error error;
  memset(&info, 0, sizeof info);
  CHECK(velkor_app_set_region(session, 5, -1, -1, &error) == VELKOR_APP_OK);
  CHECK(velkor_app_read_info(session, 1, &info, &error) == VELKOR_APP_OK);
  CHECK(info.region.region == 5);
  CHECK(info.gen2 == 1);
}

static velkor_app_target named(const velkor_app_tag *tag) {
  velkor_app_target target;
  memset(&target, 0, sizeof target);
  target.epc_length = tag->epc_length;
  memcpy(target.epc, tag->epc, (size_t)tag->epc_length);
  return target;
}

/* Each tag's first user word, read by its EPC. */
static void user_words(velkor_app_session *session, const velkor_app_tag *tags,
                       unsigned char words[TAGS][2]) {
  int i;
  for (i = 0; i < TAGS; ++i) {
    const velkor_app_target target = named(&tags[i]);
    velkor_app_error error;
    CHECK(velkor_app_read(session, &target, VELKOR_BANK_USER, 0, 1, words[i], 2, &error) ==
          VELKOR_APP_OK);
  }
}

/* Unnamed among six: refused, nothing written.  Named: that tag alone
 * changes, and the core says which it changed. */
static void one_tag_rule(velkor_app_session *session, const velkor_app_tag *tags) {
  static const unsigned char data[2] = {0xCA, 0xFE};
  unsigned char before[TAGS][2], after[TAGS][2];
  velkor_app_target unnamed, target, changed;
  velkor_app_error error;
  int i;
  memset(&unnamed, 0, sizeof unnamed);
  memset(&changed, 0, sizeof changed);
  user_words(session, tags, before);
  CHECK(velkor_app_write(session, &unnamed, VELKOR_BANK_USER, 0, data, 2, &changed, &error) ==
        VELKOR_APP_E_SEVERAL_TAGS);
  CHECK(error.kind == VELKOR_APP_E_SEVERAL_TAGS && error.tags == TAGS);
  CHECK(strstr(error.words, "6 tags in the field") != NULL);
  user_words(session, tags, after);
  CHECK(memcmp(before, after, sizeof before) == 0);

  target = named(&tags[2]);
  CHECK(velkor_app_write(session, &target, VELKOR_BANK_USER, 0, data, 2, &changed, &error) ==
        VELKOR_APP_OK);
  CHECK(changed.epc_length == tags[2].epc_length &&
        memcmp(changed.epc, tags[2].epc, (size_t)tags[2].epc_length) == 0);
  user_words(session, tags, after);
  for (i = 0; i < TAGS; ++i)
    CHECK(memcmp(after[i], i == 2 ? data : before[i], 2) == 0);
}

struct watched {
  int rounds, arrivals, reads;
  velkor_app_stop *stop;
};

static void on_event(const char *name, const char *json, void *user) {
  struct watched *w = (struct watched *)user;
  (void)json;
  if (strcmp(name, "arrive") == 0) ++w->arrivals;
  if (strcmp(name, "read") == 0) ++w->reads;
  if (strcmp(name, "round") == 0 && ++w->rounds == 3) velkor_app_stop_request(w->stop);
}

/* A watch with no limit of its own ends on its stop handle, after the round
 * in hand; every tag arrives once. */
static void short_watch(velkor_app_session *session) {
  struct watched w = {0, 0, 0, NULL};
  velkor_app_callbacks callbacks = {on_event, NULL, NULL, &w};
  velkor_app_watch_options options;
  velkor_app_watch_summary summary;
  velkor_app_error error;
  memset(&options, 0, sizeof options);
  memset(&summary, 0, sizeof summary);
  options.interval_ms = 10;
  w.stop = velkor_app_stop_new();
  CHECK(w.stop != NULL);
  if (w.stop == NULL) return;
  CHECK(velkor_app_watch(session, &options, &callbacks, w.stop, &summary, &error) ==
        VELKOR_APP_OK);
  CHECK(summary.stopped == 1 && summary.rounds == 3 && summary.failed == 0);
  CHECK(summary.unique == TAGS && summary.reads == 3 * TAGS);
  CHECK(w.rounds == 3 && w.arrivals == TAGS && w.reads == 3 * TAGS);
  velkor_app_stop_free(w.stop);
}

/* What this build leaves out says so, and hands nothing back. */
static void left_out_parts_refuse(velkor_app_session *session) {
  velkor_app_session_options options;
  velkor_app_session *opened = (velkor_app_session *)&options;
  velkor_app_commission_options plan;
  velkor_app_commission_summary summary;
  velkor_app_error error;
  velkor_app_session_options_init(&options);
  options.emulate = 1;
  CHECK(velkor_app_open(&options, &opened, &error) == VELKOR_APP_E_BAD_INPUT);
  CHECK(opened == NULL);
  CHECK(strstr(error.words, "not available in the Windows build") != NULL);
  memset(&plan, 0, sizeof plan);
  summary.end = -1;
  CHECK(velkor_app_commission(session, &plan, NULL, NULL, &summary, &error) ==
        VELKOR_APP_E_BAD_INPUT);
  CHECK(strstr(error.words, "not available in the Windows build") != NULL);
  CHECK(summary.end == VELKOR_APP_COMPLETE && summary.done == 0);
}

int main(void) {
  velkor_app_tag tags[TAGS + 4];
  velkor_app_session *session;
  const VelkorHandle handle = velkor_emulator_start(11, TAGS, 0);
  CHECK(handle != VELKOR_INVALID_HANDLE);
  if (handle == VELKOR_INVALID_HANDLE) return 1;
  CHECK(GetModuleHandleA("velkor_app.dll") != NULL);

  session = velkor_app_adopt(handle, 0xFF);
  CHECK(session != NULL);
  if (session == NULL) return 1;
  CHECK(velkor_app_handle(session) == handle);

  inventory_finds_the_model(session, handle, tags);
  if (failures == 0) {
    region_five_reads_back(session);
    one_tag_rule(session, tags);
    short_watch(session);
  }
  left_out_parts_refuse(session);

  /* The adopted handle stays the caller's: closing the session leaves it. */
  CHECK(velkor_app_close(session, NULL) == VELKOR_APP_OK);
  CHECK(velkor_emulator_gen2_count(handle) == TAGS);
  CHECK(velkor_emulator_violations(handle) == 0);
  CHECK(velkor_emulator_stop(handle) == 0);

  if (failures == 0) printf("adopted core: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
