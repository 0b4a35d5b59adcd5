// The C entry points over Publisher.
#include <chrono>
#include <cstring>
#include <map>
#include <string>

#include "app/mqtt/credentials.h"
#include "app/mqtt/publisher.h"
#include "velkor_mqtt.h"

using velkor::app::mqtt::Publisher;
using velkor::app::mqtt::Settings;

struct velkor_mqtt {
  Settings settings;
  velkor_mqtt_notice_fn notice = nullptr;
  void *context = nullptr;
  std::unique_ptr<Publisher> publisher;
};

namespace {

bool to_number(const char *text, long long *value) {
  char *end = nullptr;
  errno = 0;
  *value = std::strtoll(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

void copy_out(const std::string &text, char *out, size_t size) {
  if (!out || size == 0) return;
  const size_t n = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

extern "C" {

velkor_mqtt *velkor_mqtt_new(void) { return new (std::nothrow) velkor_mqtt; }

int velkor_mqtt_set(velkor_mqtt *p, const char *name, const char *value) {
  if (!p || p->publisher || !name || !value) return -1;
  Settings &s = p->settings;
  const std::map<std::string, std::string *> texts = {
      {"url", &s.url},         {"reader", &s.reader},     {"topic", &s.topic},
      {"ca", &s.ca_file},      {"cert", &s.cert_file},    {"key", &s.key_file},
      {"user", &s.user},       {"password", &s.password}, {"spool", &s.spool_dir},
      {"client_id", &s.client_id}};
  if (const auto it = texts.find(name); it != texts.end()) {
    *it->second = value;
    return 0;
  }
  if (std::strcmp(name, "password_file") == 0) {
    std::string error;
    const auto password = velkor::app::mqtt::read_password(value, &error);
    if (!password) return -1;
    s.password = *password;
    return 0;
  }
  long long number = 0;
  if (!to_number(value, &number) || number < 0) return -1;
  if (std::strcmp(name, "qos") == 0 && number <= 2)
    s.qos = int(number);
  else if (std::strcmp(name, "limit") == 0)
    s.outbox_limit = size_t(number);
  else if (std::strcmp(name, "depart_after_ms") == 0)
    s.depart_after_ms = number;
  else
    return -1;
  return 0;
}

void velkor_mqtt_set_notice(velkor_mqtt *p, velkor_mqtt_notice_fn fn, void *context) {
  if (!p) return;
  p->notice = fn;
  p->context = context;
}

int velkor_mqtt_start(velkor_mqtt *p, int wait_ms, char *error, size_t error_size) {
  if (!p || p->publisher) {
    copy_out("not a new publisher", error, error_size);
    return -1;
  }
  velkor::app::mqtt::Notice notice;
  if (p->notice)
    notice = [fn = p->notice, context = p->context](const std::string &text) {
      fn(text.c_str(), context);
    };
  std::string why;
  p->publisher = Publisher::open(p->settings, notice, &why);
  if (p->publisher && !p->publisher->await_first_connection(wait_ms, &why))
    p->publisher.reset();
  if (!p->publisher) {
    copy_out(why, error, error_size);
    return -1;
  }
  return 0;
}

int velkor_mqtt_publish_read(velkor_mqtt *p, const char *epc, int antenna, unsigned round,
                             long long unix_ms, const char *uri) {
  if (!p || !p->publisher || !epc) return -1;
  velkor::app::mqtt::Read read;
  read.epc = epc;
  read.antenna = antenna;
  read.round = round;
  read.time = velkor::app::mqtt::WallClock::time_point(std::chrono::milliseconds(unix_ms));
  if (uri) read.uri = uri;
  p->publisher->publish_read(read);
  return 0;
}

int velkor_mqtt_end_round(velkor_mqtt *p) {
  if (!p || !p->publisher) return -1;
  p->publisher->end_round();
  return 0;
}

int velkor_mqtt_set_reader_lost(velkor_mqtt *p, int lost) {
  if (!p || !p->publisher) return -1;
  p->publisher->set_reader_lost(lost != 0);
  return 0;
}

int velkor_mqtt_service(velkor_mqtt *p, int timeout_ms) {
  if (!p || !p->publisher) return -1;
  p->publisher->service(timeout_ms);
  return 0;
}

size_t velkor_mqtt_waiting(const velkor_mqtt *p) {
  return p && p->publisher ? p->publisher->waiting() : 0;
}

long velkor_mqtt_finish(velkor_mqtt *p, int limit_ms) {
  if (!p || !p->publisher) return -1;
  return long(p->publisher->finish(limit_ms));
}

void velkor_mqtt_free(velkor_mqtt *p) { delete p; }

}  // extern "C"
