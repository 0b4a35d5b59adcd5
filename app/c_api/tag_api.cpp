// The C API's inventory, record decoding, one-tag rule and tag operations.
#include <algorithm>
#include <cstring>

#include "app/c_api/convert.h"
#include "app/tags/epc_text.h"
#include "app/tags/inventory_round.h"
#include "app/tags/tag_list.h"
#include "app/tags/tag_operations.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

namespace {

velkor_app_tag tag_of(const TagRead &read, bool decode) {
  velkor_app_tag t{};
  t.round = read.round;
  t.unix_ms = std::chrono::duration_cast<std::chrono::milliseconds>(read.time.time_since_epoch())
                  .count();
  t.antenna = read.antenna;
  t.epc_length = static_cast<int>(std::min<std::size_t>(read.epc.size(), VELKOR_APP_ID_ROOM));
  std::copy_n(read.epc.begin(), t.epc_length, t.epc);
  t.tid_length = -1;
  if (read.tid) {
    t.tid_length = static_cast<int>(std::min<std::size_t>(read.tid->size(), VELKOR_APP_ID_ROOM));
    std::copy_n(read.tid->begin(), t.tid_length, t.tid);
  }
  if (decode) copy_text(tag_uri_of(read.epc).value_or(""), t.uri, sizeof t.uri);
  return t;
}

void put_tags(const std::vector<TagRead> &reads, bool decode, velkor_app_tag *tags, int room,
              int *count) {
  if (count) *count = static_cast<int>(reads.size());
  for (int i = 0; tags && i < room && std::size_t(i) < reads.size(); ++i)
    tags[i] = tag_of(reads[std::size_t(i)], decode);
}

// A tag operation under the one-tag rule: the settled target out, or the error.
template <typename Operation>
int changing(velkor_app_session *s, const velkor_app_target *target, velkor_app_target *changed,
             velkor_app_error *error, const char *name, Operation &&operation) {
  if (!s) return bad_argument(name, "no session", error);
  return guarded(error, name, [&] {
    const Result<Target> done = operation(*s->session, target_of(target));
    if (!done) return fail(done.error(), error);
    put_target(*done, changed);
    return succeed(error);
  });
}

}  // namespace

extern "C" {

int velkor_app_inventory(velkor_app_session *s, const velkor_app_mask *mask, int tid, int decode,
                         velkor_app_tag *tags, int room, int *count, velkor_app_error *error) {
  if (count) *count = 0;
  if (!s) return bad_argument("inventory", "no session", error);
  return guarded(error, "inventory", [&] {
    const Round round = inventory_round(*s->session, mask_of(mask), tid != 0);
    if (!round.answered()) return fail(round.error(), error);
    put_tags(round.tags, decode != 0, tags, room, count);
    return succeed(error);
  });
}

int velkor_app_decode_records(const unsigned char *list, int length, int tag_count, int tid,
                              velkor_app_tag *tags, int room, int *count) {
  if (count) *count = 0;
  if (!list && length > 0) return VELKOR_APP_E_BAD_INPUT;
  bool cut = false;
  std::vector<TagRead> reads;
  if (tid) {
    for (TagIds &t : decode_tid_list(list, length, tag_count, &cut))
      reads.push_back({0, {}, std::move(t.epc), 0, std::move(t.tid)});
  } else {
    for (Bytes &epc : decode_tag_list(list, length, &cut))
      reads.push_back({0, {}, std::move(epc), 0, std::nullopt});
  }
  put_tags(reads, false, tags, room, count);
  return cut ? VELKOR_APP_E_BAD_INPUT : VELKOR_APP_OK;
}

int velkor_app_settle(velkor_app_session *s, const velkor_app_target *target,
                      const char *operation, velkor_app_target *settled, velkor_app_error *error) {
  const char *name = operation ? operation : "settle";
  return changing(s, target, settled, error, name, [&](Session &session, const Target &t) {
    return settle_target(session, t, name);
  });
}

int velkor_app_read(velkor_app_session *s, const velkor_app_target *target, int bank,
                    int pointer, int words, unsigned char *data, int room,
                    velkor_app_error *error) {
  if (!s) return bad_argument("read", "no session", error);
  if (!data || room < 2 * words) return bad_argument("read", "no room for the words", error);
  return guarded(error, "read", [&] {
    const Result<Bytes> read = read_memory(*s->session, target_of(target), bank, pointer, words);
    if (!read) return fail(read.error(), error);
    std::memcpy(data, read->data(), read->size());
    return succeed(error);
  });
}

int velkor_app_write(velkor_app_session *s, const velkor_app_target *target, int bank,
                     int pointer, const unsigned char *data, int length,
                     velkor_app_target *changed, velkor_app_error *error) {
  if (!data || length <= 0 || length % 2 != 0)
    return bad_argument("write", "the data is no whole number of words", error);
  return changing(s, target, changed, error, "write", [&](Session &session, const Target &t) {
    return write_memory(session, t, bank, pointer, Bytes(data, data + length));
  });
}

int velkor_app_erase(velkor_app_session *s, const velkor_app_target *target, int bank,
                     int pointer, int words, velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "erase", [&](Session &session, const Target &t) {
    return erase_memory(session, t, bank, pointer, words);
  });
}

int velkor_app_write_epc(velkor_app_session *s, const velkor_app_target *target,
                         const unsigned char *epc, int length, velkor_app_target *changed,
                         velkor_app_error *error) {
  if (!epc || length <= 0 || length % 2 != 0 || length > 62)
    return bad_argument("write-epc", "an EPC is 1 to 31 whole 16-bit words", error);
  return changing(s, target, changed, error, "write-epc", [&](Session &session, const Target &t) {
    return write_epc(session, t, Bytes(epc, epc + length));
  });
}

int velkor_app_lock(velkor_app_session *s, const velkor_app_target *target, int field,
                    int action, velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "lock", [&](Session &session, const Target &t) {
    return lock_tag(session, t, field, action);
  });
}

int velkor_app_kill(velkor_app_session *s, const velkor_app_target *target,
                    velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "kill",
                  [&](Session &session, const Target &t) { return kill_tag(session, t); });
}

int velkor_app_privacy(velkor_app_session *s, const velkor_app_target *target,
                       velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "privacy set",
                  [&](Session &session, const Target &t) { return set_privacy(session, t); });
}

int velkor_app_eas(velkor_app_session *s, const velkor_app_target *target, int on,
                   velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "eas", [&](Session &session, const Target &t) {
    return set_eas(session, t, on != 0);
  });
}

int velkor_app_block_lock(velkor_app_session *s, const velkor_app_target *target, int block,
                          velkor_app_target *changed, velkor_app_error *error) {
  return changing(s, target, changed, error, "block lock", [&](Session &session, const Target &t) {
    return block_lock(session, t, block);
  });
}

}  // extern "C"
