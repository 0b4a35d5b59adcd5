// The C API's documents: the one event model's JSON for what the other
// calls return.
#include <chrono>

#include "app/c_api/convert.h"
#include "app/events/read_event.h"
#include "app/events/reader_documents.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

namespace {

int put_json(const events::Json &doc, char *json, std::size_t room) {
  const std::string text = doc.dump();
  copy_text(text, json, room);
  return static_cast<int>(text.size());
}

}  // namespace

extern "C" {

int velkor_app_tag_json(const velkor_app_tag *tag, int with_uri, char *json, size_t room) {
  if (!tag) return -1;
  events::ReadEvent e;
  e.read.round = tag->round;
  e.read.time = WallClock::time_point(std::chrono::milliseconds(tag->unix_ms));
  e.read.epc.assign(tag->epc, tag->epc + std::clamp(tag->epc_length, 0, VELKOR_APP_ID_ROOM));
  e.read.antenna = tag->antenna;
  if (tag->tid_length >= 0)
    e.read.tid = Bytes(tag->tid, tag->tid + std::min(tag->tid_length, VELKOR_APP_ID_ROOM));
  e.with_tid = tag->tid_length >= 0;
  e.with_uri = with_uri != 0;
  if (tag->uri[0]) e.uri = std::string(tag->uri);
  return put_json(events::to_json(e), json, room);
}

int velkor_app_info_json(const velkor_app_info *info, int index, const char *path, int address,
                         char *json, size_t room) {
  if (!info) return -1;
  return put_json(events::info_document(index, path ? path : "", address, info_of(*info)), json,
                  room);
}

int velkor_app_config_json(const velkor_app_config *c, char *json, size_t room) {
  if (!c) return -1;
  ReaderConfig config;
  config.mode = c->mode;
  config.interval = c->interval;
  config.response = {c->response[0], c->response[1]};
  config.tag_type = c->tag_type;
  config.eas_sensitivity = c->eas_sensitivity;
  config.mask = mask_of(&c->mask);
  config.mask.bank = c->mask.bank;
  config.mask.bit_address = c->mask.bit_address;
  config.mask.bits = c->mask.length > 0 ? c->mask.bits : 0;
  config.trigger_time = c->trigger_time;
  config.tid = {c->tid[0], c->tid[1]};
  config.work_time = {c->work_time[0], c->work_time[1]};
  config.scan_time_ms = c->scan_time_ms;
  config.antenna = c->antenna;
  return put_json(events::config_document(config), json, room);
}

}  // extern "C"
