// The inventory --watch options that publish to a broker (--mqtt and the
// rest), checked while the command line is parsed.
#ifndef VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H
#define VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H

#include <CLI/CLI.hpp>
#include <cstddef>
#include <optional>
#include <string>

#include "app/base/error.h"
#include "app/mqtt/publisher.h"
#include "app/mqtt/watch_publisher.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

struct MqttOptions {
  std::string url;
  std::string topic;
  int qos = 1;
  std::string ca_file;
  std::string cert_file;
  std::string key_file;
  std::string user;
  std::string password_file;
  std::string spool_dir;
  std::string spool_limit = "64M";
  int depart_after_ms = 3000;

  /// Adds the options to cmd; each needs --mqtt, which needs --watch when
  /// watch is given (velkor serve has none: its watches are started over HTTP).
  void add_to(CLI::App *cmd, CLI::Option *watch);
  bool wanted() const { return !url.empty(); }
  /// The publisher's settings, the password read from its file or the
  /// environment; kBadInput when the file cannot be read.
  Result<publish::Settings> settings() const;
  /// Sends what waits and says what could not be sent; the exit status
  /// (undelivered messages without a spool are a failure).
  int finish(publish::WatchPublisher &publisher) const;
};

/// A notice of the publisher, on standard error.
void say_mqtt(const std::string &text);

/// "4096", "64k", "64M", "1G" -> bytes; nothing when it is none of these.
std::optional<std::size_t> parse_size(const std::string &text);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H
