// The C API's reader information and settings.
#include <algorithm>

#include "app/c_api/convert.h"
#include "app/reader/channel_plan.h"
#include "app/reader/reader_config.h"
#include "app/reader/settings.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

namespace {

std::optional<int> given(int value) {
  return value >= 0 ? std::optional<int>(value) : std::nullopt;
}

std::optional<std::array<int, 2>> given_pair(const int *pair) {
  if (pair[0] < 0 || pair[1] < 0) return std::nullopt;
  return std::array<int, 2>{pair[0], pair[1]};
}

template <typename Body>
int on_session(velkor_app_session *s, velkor_app_error *error, const char *name, Body &&body) {
  if (!s) return bad_argument(name, "no session", error);
  return guarded(error, name, [&] { return body(*s->session); });
}

}  // namespace

extern "C" {

void velkor_app_decode_info(const unsigned char *block, velkor_app_info *info) {
  if (!block || !info) return;
  std::array<unsigned char, kInfoBlockBytes> b{};
  std::copy_n(block, kInfoBlockBytes, b.begin());
  put_info(decode_info(b), info);
}

int velkor_app_read_info(velkor_app_session *s, int with_serial, velkor_app_info *info,
                         velkor_app_error *error) {
  return on_session(s, error, "information", [&](Session &session) {
    const Result<ReaderInfo> read = read_info(session, with_serial != 0);
    if (!read) return fail(read.error(), error);
    if (info) put_info(*read, info);
    return succeed(error);
  });
}

int velkor_app_read_config(velkor_app_session *s, velkor_app_config *config,
                           velkor_app_error *error) {
  return on_session(s, error, "config", [&](Session &session) {
    const Result<ReaderConfig> read = read_config(session);
    if (!read) return fail(read.error(), error);
    if (!config) return succeed(error);
    const ReaderConfig &c = *read;
    *config = velkor_app_config{c.mode,         c.interval,   {c.response[0], c.response[1]},
                                c.tag_type,     c.eas_sensitivity,
                                {},             c.trigger_time, {c.tid[0], c.tid[1]},
                                {c.work_time[0], c.work_time[1]}, c.scan_time_ms, c.antenna};
    put_mask(c.mask, &config->mask);
    return succeed(error);
  });
}

void velkor_app_config_change_init(velkor_app_config_change *c) {
  if (!c) return;
  *c = velkor_app_config_change{};
  c->mode = c->interval = c->tag_type = c->eas_sensitivity = c->trigger_time = -1;
  c->scan_time = c->antenna = c->custom_function = -1;
  c->response[0] = c->response[1] = c->tid[0] = c->tid[1] = -1;
  c->work_time[0] = c->work_time[1] = -1;
}

int velkor_app_set_config(velkor_app_session *s, const velkor_app_config_change *c,
                          velkor_app_error *error) {
  if (!c) return bad_argument("config", "no change", error);
  return on_session(s, error, "config", [&](Session &session) {
    ConfigChange change;
    change.mode = given(c->mode);
    change.interval = given(c->interval);
    change.tag_type = given(c->tag_type);
    change.eas_sensitivity = given(c->eas_sensitivity);
    change.trigger_time = given(c->trigger_time);
    change.scan_time = given(c->scan_time);
    change.antenna = given(c->antenna);
    change.custom_function = given(c->custom_function);
    change.response = given_pair(c->response);
    change.tid = given_pair(c->tid);
    change.work_time = given_pair(c->work_time);
    if (c->mask.length > 0) change.mask = mask_of(&c->mask);
    return outcome(apply_config(session, change), error);
  });
}

int velkor_app_set_power(velkor_app_session *s, int dbm, velkor_app_error *error) {
  return on_session(s, error, "power",
                    [&](Session &session) { return outcome(set_power(session, dbm), error); });
}

int velkor_app_set_region(velkor_app_session *s, int region, int lowest, int highest,
                          velkor_app_error *error) {
  return on_session(s, error, "region", [&](Session &session) {
    if (region < 1 || region > kRegions)
      return bad_argument("region", "a region is 1 to 5", error);
    if (lowest >= 0 || highest >= 0)
      if (Status fits = check_channels(region, given(lowest), given(highest)); !fits)
        return fail(fits.error(), error);
    return outcome(set_region(session, region, given(lowest), given(highest)), error);
  });
}

int velkor_app_set_beep(velkor_app_session *s, int setting, velkor_app_error *error) {
  return on_session(s, error, "beep",
                    [&](Session &session) { return outcome(set_beep(session, setting), error); });
}

int velkor_app_set_clock(velkor_app_session *s, const unsigned char *block,
                         velkor_app_error *error) {
  if (!block) return bad_argument("clock", "no clock block", error);
  return on_session(s, error, "clock", [&](Session &session) {
    ClockBlock b{};
    std::copy_n(block, b.size(), b.begin());
    return outcome(set_clock(session, b), error);
  });
}

}  // extern "C"
