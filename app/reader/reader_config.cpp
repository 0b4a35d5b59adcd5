#include "app/reader/reader_config.h"

#include "app/reader/reader_info.h"

namespace velkor::app {

namespace {

const char *name_in(const char *const *names, int count, int value) {
  return value >= 0 && value < count ? names[value] : "?";
}

}  // namespace

const char *work_mode_name(int mode) {
  static const char *const kNames[] = {"answer", "auto", "trigger", "trigger-inverted"};
  return name_in(kNames, 4, mode);
}

const char *tag_type_name(int type) {
  static const char *const kNames[] = {"gen2", "6b"};
  return name_in(kNames, 2, type);
}

const char *bank_name(int bank) {
  static const char *const kNames[] = {"reserved", "epc", "tid", "user"};
  return name_in(kNames, 4, bank);
}

Result<ReaderConfig> read_config(Session &s) {
  unsigned char mode = 0, interval = 0, response[2] = {}, tag_type = 0, eas = 0;
  unsigned char mask_bank = 0, mask_address[2] = {}, mask_bits = 0, mask[32] = {};
  unsigned char trigger_time = 0, tid[2] = {}, work_time[2] = {};
  int rc = GetSystemParameter(s.address(), &mode, &interval, &response[0], &response[1],
                              &tag_type, &eas, &mask_bank, mask_address, &mask_bits, mask,
                              &trigger_time, &tid[0], &tid[1], s.handle());
  if (rc != STATUS_OK) return Error::from_status(rc, "parameters");
  rc = GetWorkTime(s.address(), &work_time[0], &work_time[1], s.handle());
  if (rc != STATUS_OK) return Error::from_status(rc, "work time");
  const Result<ReaderInfo> info = read_info(s);
  if (!info) return info.error();
  ReaderConfig c;
  c.mode = mode;
  c.interval = interval;
  c.response = {response[0], response[1]};
  c.tag_type = tag_type;
  c.eas_sensitivity = eas;
  c.mask.bank = mask_bank;
  c.mask.bit_address = (mask_address[0] << 8) | mask_address[1];
  c.mask.bits = mask_bits;
  c.mask.bytes.assign(mask, mask + (mask_bits + 7u) / 8u);
  c.trigger_time = trigger_time;
  c.tid = {tid[0], tid[1]};
  c.work_time = {work_time[0], work_time[1]};
  c.scan_time_ms = info->scan_time_ms;
  c.antenna = info->antenna;
  return c;
}

}  // namespace velkor::app
