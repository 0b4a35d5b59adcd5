// The inventory --watch options that publish to a broker (--mqtt and the
// rest), checked while the command line is parsed.
#ifndef VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H
#define VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H

#include <CLI/CLI.hpp>
#include <cstddef>
#include <optional>
#include <string>
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

  /// Adds the options to cmd; each needs --mqtt, which needs --watch.
  void add_to(CLI::App *cmd, CLI::Option *watch);
  bool wanted() const { return !url.empty(); }
};

/// "4096", "64k", "64M", "1G" -> bytes; nothing when it is none of these.
std::optional<std::size_t> parse_size(const std::string &text);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_PUBLISH_MQTT_OPTIONS_H
