#include "app/reader/settings.h"

#include "app/reader/channel_plan.h"

namespace velkor::app {

namespace {

Status done(int status, const char *operation) {
  if (status == STATUS_OK) return {};
  return Error::from_status(status, operation);
}

}  // namespace

Status set_power(Session &s, int dbm) {
  return done(SetRfPower(s.address(), to_byte(dbm), s.handle()), "power");
}

Status set_region(Session &s, int region, std::optional<int> lowest, std::optional<int> highest) {
  if (!lowest && !highest)
    return done(SetRegionWithDefaultChannel(s.address(), region, s.handle()), "region");
  const int last = static_cast<int>(channel_plan(region).size()) - 1;
  return done(SetRegionAndChannel(s.address(), region, to_byte(lowest.value_or(0)),
                                  to_byte(highest.value_or(last)), s.handle()),
              "region");
}

Status set_beep(Session &s, int setting) {
  return done(SetBeepNotification(s.address(), to_byte(setting), s.handle()), "beep");
}

Status drive_indicators(Session &s, int first, int second, int third) {
  return done(BuzzerAndLEDControl(s.address(), to_byte(first), to_byte(second), to_byte(third), s.handle()),
              "beep");
}

Status set_scan_time(Session &s, int hundreds_of_ms) {
  return done(SetInventoryScanTime(s.address(), to_byte(hundreds_of_ms), s.handle()), "scan time");
}

Result<ClockBlock> read_clock(Session &s) {
  ClockBlock block{};
  if (const int rc = GetTime(s.address(), block.data(), s.handle()); rc != STATUS_OK)
    return Error::from_status(rc, "clock");
  return block;
}

Status set_clock(Session &s, const ClockBlock &block) {
  ClockBlock copy = block;
  return done(SetReal_timeClock(s.address(), copy.data(), s.handle()), "clock");
}

Result<int> read_gpio(Session &s) {
  unsigned char status = 0;
  if (const int rc = GetGPIOStatus(s.address(), &status, s.handle()); rc != STATUS_OK)
    return Error::from_status(rc, "gpio");
  return int{status};
}

Status set_gpio(Session &s, int outputs) {
  return done(SetGPIO(s.address(), to_byte(outputs), s.handle()), "gpio");
}

bool ConfigChange::any() const {
  return mode || interval || tag_type || eas_sensitivity || trigger_time || scan_time ||
         antenna || custom_function || response || tid || work_time || (mask && mask->used());
}

Status apply_config(Session &s, const ConfigChange &c,
                    const std::function<void(const char *)> &applied) {
  unsigned char *a = s.address();
  const VelkorHandle h = s.handle();
  struct Step {
    const char *name;
    bool given;
    std::function<int()> send;
  };
  const Step steps[] = {
      {"mode", c.mode.has_value(), [&] { return SetWorkMode(a, to_byte(*c.mode), h); }},
      {"interval", c.interval.has_value(),
       [&] { return SetInventoryInterval(a, to_byte(*c.interval), h); }},
      {"response", c.response.has_value(),
       [&] {
         return SetResponsePamametersofAuto_runningMode(a, to_byte((*c.response)[0]),
                                                        to_byte((*c.response)[1]), h);
       }},
      {"tag type", c.tag_type.has_value(), [&] { return SelectTagType(a, to_byte(*c.tag_type), h); }},
      {"EAS sensitivity", c.eas_sensitivity.has_value(),
       [&] { return SetEASSensitivity(a, to_byte(*c.eas_sensitivity), h); }},
      {"mask", c.mask && c.mask->used(),
       [&] {
         Bytes bits = c.mask->bytes;
         unsigned char address[2] = {to_byte(c.mask->bit_address >> 8), to_byte(c.mask->bit_address)};
         return SetMask(a, to_byte(c.mask->bank), address, c.mask->bit_count(), bits.data(), h);
       }},
      {"trigger time", c.trigger_time.has_value(),
       [&] { return SetTriggerTime(a, to_byte(*c.trigger_time), h); }},
      {"TID", c.tid.has_value(),
       [&] { return SetTIDParameter(a, to_byte((*c.tid)[0]), to_byte((*c.tid)[1]), h); }},
      {"work time", c.work_time.has_value(),
       [&] { return SetWorkTime(a, to_byte((*c.work_time)[0]), to_byte((*c.work_time)[1]), h); }},
      {"scan time", c.scan_time.has_value(),
       [&] { return SetInventoryScanTime(a, to_byte(*c.scan_time), h); }},
      {"antenna", c.antenna.has_value(),
       [&] { return SetAntennaMultiplexing(a, to_byte(*c.antenna), h); }},
      {"custom function", c.custom_function.has_value(),
       [&] {
         unsigned char function = to_byte(*c.custom_function);
         return SetTagCustomFunction(a, &function, h);
       }},
  };
  for (const Step &step : steps) {
    if (!step.given) continue;
    if (const int rc = step.send(); rc != STATUS_OK) return Error::from_status(rc, step.name);
    if (applied) applied(step.name);
  }
  return {};
}

}  // namespace velkor::app
