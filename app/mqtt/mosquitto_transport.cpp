// The broker connection over libmosquitto, driven from the caller's thread
// (no network thread of its own): connect_async, then mosquitto_loop from
// service().  Each attempt uses a fresh client, so libmosquitto never
// resends on its own; the publisher decides what goes again.
#include <mosquitto.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "app/mqtt/transport.h"

namespace velkor::app::mqtt {

const char *const kNoTransport = "";

namespace {

class MosquittoTransport final : public Transport {
 public:
  MosquittoTransport() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
  }
  ~MosquittoTransport() override { drop(); }

  void connect(const ConnectRequest &request) override;
  bool publish(const std::string &topic, const std::string &payload, int qos, bool retain,
               int *mid) override;
  void service(int timeout_ms, std::vector<TransportEvent> *events) override;
  void disconnect() override;

 private:
  void drop() {
    if (mosq_) mosquitto_destroy(mosq_);
    mosq_ = nullptr;
  }
  void fail(const std::string &why, bool permanent) {
    if (!failed_) events_.push_back({TransportEvent::kFailed, 0, why, permanent});
    failed_ = true;
  }
  std::string explain(int rc) const;

  static void on_connect(mosquitto *, void *self, int rc) {
    auto *t = static_cast<MosquittoTransport *>(self);
    if (rc == 0) {
      t->connected_ = true;
      t->events_.push_back({TransportEvent::kConnected, 0, {}, false});
      return;
    }
    t->fail(t->where_ + " refused the connection: " + mosquitto_connack_string(rc), true);
  }
  static void on_publish(mosquitto *, void *self, int mid) {
    static_cast<MosquittoTransport *>(self)->events_.push_back({TransportEvent::kDelivered, mid, {}, false});
  }
  static void on_log(mosquitto *, void *self, int level, const char *text) {
    if (level & (MOSQ_LOG_ERR | MOSQ_LOG_WARNING))
      static_cast<MosquittoTransport *>(self)->last_log_ = text;
  }

  mosquitto *mosq_ = nullptr;
  std::string where_;
  bool tls_ = false;
  bool failed_ = false;
  bool connected_ = false;
  std::string last_log_;
  std::vector<TransportEvent> events_;
};

// An encrypted key would make OpenSSL ask on the terminal; refuse instead.
int no_passphrase(char *, int, int, void *) { return 0; }

std::string MosquittoTransport::explain(int rc) const {
  if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
  if (rc == MOSQ_ERR_TLS) {
    // OpenSSL's words, "error:0A000086:SSL routines::certificate verify failed".
    std::string detail = last_log_;
    const std::size_t cut = detail.rfind(':');
    if (cut != std::string::npos) detail = detail.substr(cut + 1);
    return "TLS failed" + (detail.empty() ? std::string() : ": " + detail);
  }
  if (rc == MOSQ_ERR_CONN_LOST) return "the connection was lost";
  return mosquitto_strerror(rc);
}

void MosquittoTransport::connect(const ConnectRequest &r) {
  drop();
  failed_ = connected_ = false;
  last_log_.clear();
  where_ = "the broker " + describe(r.broker);
  tls_ = r.broker.tls;
  mosq_ = mosquitto_new(r.client_id.c_str(), true, this);
  if (!mosq_) {
    fail("cannot make an MQTT client: " + std::string(std::strerror(errno)), true);
    return;
  }
  mosquitto_connect_callback_set(mosq_, on_connect);
  mosquitto_publish_callback_set(mosq_, on_publish);
  mosquitto_log_callback_set(mosq_, on_log);
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_max_inflight_messages_set(mosq_, 0);  // the publisher keeps its own window
  if (!r.user.empty() &&
      mosquitto_username_pw_set(mosq_, r.user.c_str(),
                                r.password.empty() ? nullptr : r.password.c_str()) != MOSQ_ERR_SUCCESS)
    return fail("the user name is not valid UTF-8", true);
  if (!r.will_topic.empty() &&
      mosquitto_will_set(mosq_, r.will_topic.c_str(), int(r.will_payload.size()),
                         r.will_payload.data(), r.qos, true) != MOSQ_ERR_SUCCESS)
    return fail("cannot set the last will on " + r.will_topic, true);
  if (r.broker.tls) {
    const char *ca = r.ca_file.empty() ? nullptr : r.ca_file.c_str();
    const int rc = mosquitto_tls_set(mosq_, ca, ca ? nullptr : "/etc/ssl/certs",
                                     r.cert_file.empty() ? nullptr : r.cert_file.c_str(),
                                     r.key_file.empty() ? nullptr : r.key_file.c_str(),
                                     no_passphrase);
    if (rc != MOSQ_ERR_SUCCESS)
      return fail(ca && access(ca, R_OK) != 0
                      ? "cannot read the CA file " + r.ca_file
                      : "cannot use the TLS files (CA, certificate and key together; the key "
                        "must not be encrypted): " + explain(rc),
                  true);
    // Verify the broker's certificate and that it names the host.
    mosquitto_tls_opts_set(mosq_, 1, nullptr, nullptr);
    mosquitto_tls_insecure_set(mosq_, false);
  }
  const int rc = mosquitto_connect_async(mosq_, r.broker.host.c_str(), r.broker.port,
                                         r.keepalive_s);
  if (rc != MOSQ_ERR_SUCCESS)
    fail("cannot reach " + where_ + ": " + explain(rc), rc == MOSQ_ERR_TLS);
}

bool MosquittoTransport::publish(const std::string &topic, const std::string &payload, int qos,
                                 bool retain, int *mid) {
  if (!mosq_ || failed_) return false;
  return mosquitto_publish(mosq_, mid, topic.c_str(), int(payload.size()), payload.data(), qos,
                           retain) == MOSQ_ERR_SUCCESS;
}

void MosquittoTransport::service(int timeout_ms, std::vector<TransportEvent> *events) {
  if (mosq_ && !failed_) {
    const int rc = mosquitto_loop(mosq_, timeout_ms, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
      const bool tls = rc == MOSQ_ERR_TLS || (tls_ && last_log_.find("SSL") != std::string::npos);
      fail((connected_ ? "lost " : "cannot reach ") + where_ + ": " + explain(tls ? MOSQ_ERR_TLS : rc), tls);
    }
  }
  for (TransportEvent &e : events_) events->push_back(std::move(e));
  events_.clear();
}

void MosquittoTransport::disconnect() {
  if (mosq_ && !failed_) {
    mosquitto_disconnect(mosq_);
    mosquitto_loop(mosq_, 0, 1);
  }
  drop();
}

}  // namespace

std::unique_ptr<Transport> mosquitto_transport() { return std::make_unique<MosquittoTransport>(); }

}  // namespace velkor::app::mqtt
