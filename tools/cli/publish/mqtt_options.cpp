#include "tools/cli/publish/mqtt_options.h"

#include "app/mqtt/broker_url.h"
#include "app/mqtt/credentials.h"
#include "tools/cli/options.h"

namespace velkor::tool {

std::optional<std::size_t> parse_size(const std::string &text) {
  std::size_t digits = 0;
  std::size_t value = 0;
  while (digits < text.size() && digits < 12 && text[digits] >= '0' && text[digits] <= '9')
    value = value * 10 + std::size_t(text[digits++] - '0');
  if (digits == 0) return std::nullopt;
  const std::string unit = text.substr(digits);
  if (unit.empty()) return value;
  if (unit == "k" || unit == "K") return value << 10;
  if (unit == "M") return value << 20;
  if (unit == "G") return value << 30;
  return std::nullopt;
}

void MqttOptions::add_to(CLI::App *cmd, CLI::Option *watch) {
  CLI::Option *mqtt =
      cmd->add_option("--mqtt", url,
                      "with --watch: publish every read to this broker, mqtt://[USER@]HOST[:PORT] "
                      "or mqtts://[USER@]HOST[:PORT] (see docs/mqtt.md)")
          ->type_name("URL")
          ->needs(watch)
          ->check(CLI::Validator(
              [](std::string &text) {
                std::string error;
                const auto parsed = publish::parse_broker_url(text, &error);
                if (!parsed) return error;
                // Every user of the machine can read a command line.
                if (parsed->has_password)
                  return "'" + publish::shown_url(text) +
                         "' holds a password, which every user of this machine could read on "
                         "the command line: give it in --mqtt-password-file FILE or $" +
                         publish::kPasswordVariable;
                return std::string();
              },
              "URL"));
  const auto with_mqtt = [&](CLI::Option *o) { o->needs(mqtt); };
  with_mqtt(cmd->add_option("--mqtt-topic", topic,
                            "topic prefix (default velkor/<reader serial>)")
                ->type_name("PREFIX"));
  with_mqtt(add_number(cmd, "--mqtt-qos", qos, 0, 2, "QoS of every message, 0-2 (default 1)"));
  with_mqtt(cmd->add_option("--mqtt-ca", ca_file,
                            "mqtts: the CA certificate that signed the broker's (default: the "
                            "system's authorities)")
                ->type_name("FILE")
                ->check(CLI::ExistingFile));
  with_mqtt(cmd->add_option("--mqtt-cert", cert_file, "mqtts: client certificate (PEM)")
                ->type_name("FILE")
                ->check(CLI::ExistingFile));
  with_mqtt(cmd->add_option("--mqtt-key", key_file, "mqtts: its key (PEM, not encrypted)")
                ->type_name("FILE")
                ->check(CLI::ExistingFile));
  with_mqtt(cmd->add_option("--mqtt-user", user,
                            std::string("user name at the broker; the password comes from "
                                        "--mqtt-password-file or ") +
                                publish::kPasswordVariable)
                ->type_name("NAME"));
  with_mqtt(cmd->add_option("--mqtt-password-file", password_file,
                            "read the broker password from the first line of FILE")
                ->type_name("FILE")
                ->check(CLI::ExistingFile));
  with_mqtt(cmd->add_option("--spool", spool_dir,
                            "keep undelivered messages in this directory, across broker outages "
                            "and restarts of velkor")
                ->type_name("DIR"));
  with_mqtt(cmd->add_option("--spool-limit", spool_limit,
                            "most undelivered messages kept, in bytes (k, M, G; default 64M); "
                            "past it the oldest go")
                ->type_name("SIZE")
                ->check(CLI::Validator(
                    [](std::string &text) {
                      const auto size = parse_size(text);
                      return size && *size > 0 ? std::string()
                                               : "'" + text + "' is not a size such as 64M";
                    },
                    "SIZE")));
  with_mqtt(add_number(cmd, "--depart-after", depart_after_ms, 1, 86400000,
                       "a tag unread this many ms departs (events topic; default 3000)"));
}

}  // namespace velkor::tool
