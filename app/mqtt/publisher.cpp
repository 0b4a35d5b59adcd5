#include "app/mqtt/publisher.h"

#include <unistd.h>

#include <algorithm>

#include "app/mqtt/spool.h"

namespace velkor::app::mqtt {

namespace {

constexpr std::int64_t kFirstRetryMs = 500;
constexpr std::int64_t kLongestRetryMs = 30000;
constexpr std::int64_t kSyncEveryMs = 1000;
constexpr int kStatusWaitMs = 1000;
constexpr std::int64_t kDropNoticeEveryMs = 10000;

std::string prefix_of(const Settings &s) { return s.topic.empty() ? "velkor/" + s.reader : s.topic; }

// Wildcards cannot be published to; tabs and line ends would break a
// spool line.
bool check_prefix(const std::string &prefix, std::string *error) {
  if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') {
    *error = "the topic prefix '" + prefix + "' must not be empty or begin or end with '/'";
    return false;
  }
  for (const char c : prefix)
    if (c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20) {
      *error = "the topic prefix '" + prefix + "' may not hold wildcards or control characters";
      return false;
    }
  return true;
}

}  // namespace

std::unique_ptr<Publisher> Publisher::open(const Settings &settings, Notice notice,
                                           std::string *error) {
  const std::optional<BrokerUrl> broker = parse_broker_url(settings.url, error);
  if (!broker || !check_prefix(prefix_of(settings), error)) return nullptr;
  // A login may come with the URL; given twice, the two must agree.
  Settings login = settings;
  if (!broker->user.empty()) {
    if (!settings.user.empty() && settings.user != broker->user) {
      *error = "the URL names one user and the settings another: give the user once";
      return nullptr;
    }
    login.user = broker->user;
  }
  if (broker->has_password) {
    if (!settings.password.empty() && settings.password != broker->password) {
      *error = "the URL holds one password and the settings another: give the password once";
      return nullptr;
    }
    login.password = broker->password;
  }
  if (settings.qos < 0 || settings.qos > 2) {
    *error = "QoS " + std::to_string(settings.qos) + " is not 0, 1 or 2";
    return nullptr;
  }
  if (!broker->tls && !(settings.ca_file + settings.cert_file + settings.key_file).empty()) {
    *error = "a CA file, certificate or key needs an mqtts:// URL";
    return nullptr;
  }
  if (settings.cert_file.empty() != settings.key_file.empty()) {
    *error = "a client certificate needs its key, and a key its certificate";
    return nullptr;
  }
  std::unique_ptr<Transport> transport = mosquitto_transport();
  if (!transport) {
    *error = kNoTransport;
    return nullptr;
  }
  std::unique_ptr<Outbox> outbox;
  if (settings.spool_dir.empty()) {
    outbox = std::make_unique<MemoryOutbox>(settings.outbox_limit);
  } else {
    outbox = Spool::open(settings.spool_dir, settings.outbox_limit, error);
    if (!outbox) return nullptr;
  }
  return std::make_unique<Publisher>(login, *broker, std::move(transport), std::move(outbox),
                                     system_clock(), std::move(notice));
}

Publisher::Publisher(const Settings &settings, const BrokerUrl &broker,
                     std::unique_ptr<Transport> transport, std::unique_ptr<Outbox> outbox,
                     Clock &clock, Notice notice)
    : settings_(settings), broker_(broker), prefix_(prefix_of(settings)),
      transport_(std::move(transport)), outbox_(std::move(outbox)), clock_(clock),
      notice_(notice ? std::move(notice) : [](const std::string &) {}),
      presence_(settings.depart_after_ms), backoff_(kFirstRetryMs, kLongestRetryMs) {
  if (settings_.client_id.empty())
    settings_.client_id = "velkor-" + settings_.reader + "-" + std::to_string(::getpid());
  const auto seqs = outbox_->last_seqs();
  if (const auto it = seqs.find(prefix_ + "/reads"); it != seqs.end()) read_seq_ = it->second;
  if (const auto it = seqs.find(prefix_ + "/events"); it != seqs.end()) event_seq_ = it->second;
  if (const std::string e = outbox_->take_error(); !e.empty()) notice_(e);
  if (outbox_->pending() > 0)
    notice_(std::to_string(outbox_->pending()) + " messages wait in the spool " +
            settings_.spool_dir + " from an earlier run; they go first");
  synced_at_ms_ = clock_.now_ms();
  attempt();
}

Publisher::~Publisher() {
  if (state_ != State::kFinished) finish(0);
}

void Publisher::attempt() {
  state_ = State::kConnecting;
  ConnectRequest request;
  request.broker = broker_;
  request.client_id = settings_.client_id;
  request.user = settings_.user;
  request.password = settings_.password;
  request.ca_file = settings_.ca_file;
  request.cert_file = settings_.cert_file;
  request.key_file = settings_.key_file;
  request.will_topic = prefix_ + "/status";
  request.will_payload = status_message(settings_.reader, "offline", nullptr);
  request.qos = settings_.qos;
  transport_->connect(request);
}

bool Publisher::await_first_connection(int limit_ms, std::string *error) {
  const std::int64_t until = clock_.now_ms() + limit_ms;
  while (state_ == State::kConnecting && clock_.now_ms() < until)
    service(static_cast<int>(std::min<std::int64_t>(100, until - clock_.now_ms())));
  if (state_ == State::kWaiting && last_failure_permanent_) {
    *error = last_failure_;
    return false;
  }
  return true;
}

void Publisher::service(int timeout_ms) {
  if (state_ == State::kFinished) return;
  std::int64_t now = clock_.now_ms();
  if (state_ == State::kWaiting && now >= retry_at_ms_) attempt();
  std::vector<TransportEvent> events;
  if (state_ == State::kWaiting) {
    if (timeout_ms > 0)
      clock_.sleep_ms(static_cast<int>(std::min<std::int64_t>(timeout_ms, retry_at_ms_ - now)));
  } else {
    transport_->service(timeout_ms, &events);
  }
  for (const TransportEvent &e : events) handle(e);
  outbox_->flush();
  pump();
  now = clock_.now_ms();
  if (now - synced_at_ms_ >= kSyncEveryMs) {
    outbox_->sync();
    synced_at_ms_ = now;
  }
  if (const std::string e = outbox_->take_error(); !e.empty()) notice_(e);
}

void Publisher::handle(const TransportEvent &event) {
  switch (event.kind) {
    case TransportEvent::kConnected:
      state_ = State::kConnected;
      backoff_.succeeded();
      if (announced_outage_)
        notice_("reached the broker " + describe(broker_) + " again; sending the " +
                std::to_string(outbox_->pending()) + " waiting messages first");
      announced_outage_ = false;
      report_drops();
      in_flight_.clear();
      outbox_->rewind();
      send_status();
      break;
    case TransportEvent::kFailed:
      lose(event.why, event.permanent);
      break;
    case TransportEvent::kDelivered: {
      if (event.mid == status_mid_) {
        status_mid_ = -1;
        break;
      }
      const auto it = std::find_if(in_flight_.begin(), in_flight_.end(),
                                   [&](const InFlight &f) { return f.mid == event.mid; });
      if (it == in_flight_.end()) break;  // dropped from a full outbox meanwhile
      it->delivered = true;
      std::size_t n = 0;
      while (!in_flight_.empty() && in_flight_.front().delivered) {
        in_flight_.pop_front();
        ++n;
      }
      outbox_->commit(n);
      break;
    }
  }
}

void Publisher::lose(const std::string &why, bool permanent) {
  const bool was_connected = state_ == State::kConnected;
  state_ = State::kWaiting;
  last_failure_ = why;
  last_failure_permanent_ = permanent;
  const std::int64_t delay = backoff_.failed();
  retry_at_ms_ = clock_.now_ms() + delay;
  in_flight_.clear();
  outbox_->rewind();
  status_mid_ = -1;
  if (announced_outage_ && !was_connected) return;
  announced_outage_ = true;
  notice_(why + "; keeping messages " +
          (settings_.spool_dir.empty() ? std::string("in memory")
                                       : "in the spool " + settings_.spool_dir) +
          " and trying again, every " + std::to_string(kLongestRetryMs / 1000) +
          " s at the longest");
}

void Publisher::pump() {
  if (state_ != State::kConnected) return;
  while (in_flight_.size() < kWindow) {
    const Record *record = outbox_->next();
    if (!record) break;
    int mid = -1;
    const bool handed = transport_->publish(record->topic, record->payload, settings_.qos,
                                            false, &mid);
    // Kept as in flight either way: a refused hand-over means the
    // connection is going, and losing it rewinds the outbox.
    in_flight_.push_back({handed ? mid : -1, false});
    if (!handed) break;
  }
}

void Publisher::send_status() {
  if (state_ != State::kConnected) return;
  const WallClock::time_point now = clock_.wall();
  const std::string payload =
      status_message(settings_.reader, reader_lost_ ? "reader-lost" : "online", &now);
  transport_->publish(prefix_ + "/status", payload, settings_.qos, true, &status_mid_);
}

void Publisher::enqueue(Record record) {
  const std::size_t dropped = outbox_->append(record);
  if (dropped > 0) {
    const std::size_t n = std::min(dropped, in_flight_.size());
    in_flight_.erase(in_flight_.begin(), in_flight_.begin() + std::ptrdiff_t(n));
    // Said at once the first time, then at most every so often.
    const bool first = dropped_ == 0;
    dropped_ += dropped;
    unreported_drops_ += dropped;
    if (first) {
      notice_("the outbox is full (" + std::to_string(settings_.outbox_limit) +
              " bytes): dropped the oldest " + std::to_string(dropped) + " messages");
      unreported_drops_ = 0;
      drop_noticed_at_ms_ = clock_.now_ms();
    } else if (clock_.now_ms() - drop_noticed_at_ms_ >= kDropNoticeEveryMs) {
      report_drops();
    }
  }
  if (const std::string e = outbox_->take_error(); !e.empty()) notice_(e);
}

void Publisher::report_drops() {
  if (unreported_drops_ == 0) return;
  notice_("the outbox is full: dropped " + std::to_string(unreported_drops_) +
          " more of the oldest messages (" + std::to_string(dropped_) + " so far)");
  unreported_drops_ = 0;
  drop_noticed_at_ms_ = clock_.now_ms();
}

void Publisher::publish_read(const Read &read) {
  enqueue({prefix_ + "/reads", ++read_seq_, read_message(settings_.reader, read_seq_, read)});
  if (presence_.seen(read.epc, read.antenna, clock_.now_ms()))
    enqueue({prefix_ + "/events", ++event_seq_,
             event_message(settings_.reader, event_seq_, "arrive", read.epc, read.antenna,
                           read.time)});
  pump();
}

void Publisher::end_round() {
  const WallClock::time_point now = clock_.wall();
  for (const Presence::Departure &d : presence_.departed(clock_.now_ms()))
    enqueue({prefix_ + "/events", ++event_seq_,
             event_message(settings_.reader, event_seq_, "depart", d.epc, d.antenna, now)});
  // The round's records reach the disk at once, then go out.
  outbox_->flush();
  pump();
}

void Publisher::set_reader_lost(bool lost) {
  if (lost == reader_lost_) return;
  reader_lost_ = lost;
  send_status();
}

std::size_t Publisher::finish(int limit_ms) {
  if (state_ == State::kFinished) return outbox_->pending();
  const std::int64_t until = clock_.now_ms() + limit_ms;
  while (outbox_->pending() > 0 && clock_.now_ms() < until)
    service(static_cast<int>(std::min<std::int64_t>(100, until - clock_.now_ms())));
  if (state_ == State::kConnected) {
    const WallClock::time_point now = clock_.wall();
    transport_->publish(prefix_ + "/status", status_message(settings_.reader, "offline", &now),
                        settings_.qos, true, &status_mid_);
    const std::int64_t status_until = clock_.now_ms() + kStatusWaitMs;
    while (state_ == State::kConnected && status_mid_ != -1 && clock_.now_ms() < status_until)
      service(50);
  }
  transport_->disconnect();
  report_drops();
  state_ = State::kFinished;
  outbox_->sync();
  return outbox_->pending();
}

}  // namespace velkor::app::mqtt
