#include "tools/cli/publish/watch_feed.h"

#include <sys/prctl.h>

#include <cstdio>

#include "app/base/hex.h"
#include "app/base/status_text.h"
#include "app/mqtt/credentials.h"
#include "app/reader/reader_info.h"
#include "app/tags/inventory_round.h"
#include "tools/cli/cli.h"
#include "tools/cli/output/epc_text.h"

namespace velkor::tool {

namespace {

// Long enough for a broker on the network; the spool keeps the rest.
constexpr int kFirstConnectionMs = 5000;
constexpr int kFinishMs = 5000;

void say(const std::string &text) { std::fprintf(stderr, "velkor: mqtt: %s\n", text.c_str()); }

}  // namespace

std::unique_ptr<MqttFeed> MqttFeed::start(Session &s, const MqttOptions &o, bool decode) {
  publish::Settings settings;
  settings.url = o.url;
  settings.topic = o.topic;
  settings.qos = o.qos;
  settings.ca_file = o.ca_file;
  settings.cert_file = o.cert_file;
  settings.key_file = o.key_file;
  settings.user = o.user;
  settings.spool_dir = o.spool_dir;
  settings.outbox_limit = parse_size(o.spool_limit).value_or(0);
  settings.depart_after_ms = o.depart_after_ms;
  ReaderInfo info;
  if (const int rc = read_info(s, info, true); rc != STATUS_OK) {
    say("cannot read the reader's serial number, which names its topics: " + describe(rc));
    return nullptr;
  }
  settings.reader = to_hex(info.serial, sizeof info.serial);
  std::string error;
  const auto url = publish::parse_broker_url(o.url, &error);
  if (!o.user.empty() || (url && !url->user.empty())) {
    const auto password = publish::read_password(o.password_file, &error);
    if (!error.empty()) {
      say(error);
      return nullptr;
    }
    settings.password = password.value_or("");
    // From here on the password is in this process's memory: no core dump
    // holds it, and no other program of the user may read the memory.
    if (!settings.password.empty()) prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  }
  std::unique_ptr<publish::Publisher> p = publish::Publisher::open(settings, say, &error);
  if (!p || !p->await_first_connection(kFirstConnectionMs, &error)) {
    say(error);
    return nullptr;
  }
  return std::unique_ptr<MqttFeed>(new MqttFeed(std::move(p), o.spool_dir, decode));
}

void MqttFeed::on_round(const InventoryRound &round, unsigned number) {
  for (const Bytes &epc : round.epcs) {
    const std::optional<std::string> uri = decode_ ? tag_uri_of(epc) : std::nullopt;
    publisher_->publish_read({to_hex(epc), round.antenna, number, round.time, uri.value_or("")});
  }
  publisher_->end_round();
  publisher_->service(0);
}

int MqttFeed::finish() {
  const std::size_t left = publisher_->finish(kFinishMs);
  if (left == 0) return kExitOk;
  if (!spool_.empty()) {
    say(std::to_string(left) + " messages wait in the spool " + spool_ +
        "; they go when velkor next publishes with it");
    return kExitOk;
  }
  say(std::to_string(left) + " messages could not be delivered (--spool DIR keeps them)");
  return kExitFailed;
}

}  // namespace velkor::tool
