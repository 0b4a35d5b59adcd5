#include "tools/cli/publish/mqtt_options.h"

#include <sys/prctl.h>

#include <cstdio>

#include "app/mqtt/broker_url.h"
#include "app/mqtt/credentials.h"
#include "tools/cli/exit_codes.h"
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

void say_mqtt(const std::string &text) {
  std::fprintf(stderr, "velkor: mqtt: %s\n", text.c_str());
}

Result<publish::Settings> MqttOptions::settings() const {
  publish::Settings s;
  s.url = url;
  s.topic = topic;
  s.qos = qos;
  s.ca_file = ca_file;
  s.cert_file = cert_file;
  s.key_file = key_file;
  s.user = user;
  s.spool_dir = spool_dir;
  s.outbox_limit = parse_size(spool_limit).value_or(0);
  s.depart_after_ms = depart_after_ms;
  std::string ignored, error;  // a bad URL was refused while parsing the options
  const auto broker = publish::parse_broker_url(url, &ignored);
  if (!user.empty() || (broker && !broker->user.empty())) {
    const auto password = publish::read_password(password_file, &error);
    if (!error.empty()) return Error::because(ErrorKind::kBadInput, "mqtt", error);
    s.password = password.value_or("");
    // From here on the password is in this process's memory: no core dump
    // holds it, and no other program of the user may read the memory.
    if (!s.password.empty()) prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  }
  return s;
}

int MqttOptions::finish(publish::WatchPublisher &publisher) const {
  // Long enough for a broker on the network; the spool keeps the rest.
  const std::size_t left = publisher.finish(5000);
  if (left == 0) return kExitOk;
  if (!spool_dir.empty()) {
    say_mqtt(std::to_string(left) + " messages wait in the spool " + spool_dir +
             "; they go when velkor next publishes with it");
    return kExitOk;
  }
  say_mqtt(std::to_string(left) + " messages could not be delivered (--spool DIR keeps them)");
  return kExitFailed;
}

void MqttOptions::add_to(CLI::App *cmd, CLI::Option *watch) {
  CLI::Option *mqtt =
      cmd->add_option("--mqtt", url,
                      std::string(watch ? "with --watch: publish every read"
                                        : "publish every read of a watch") +
                          " to this broker, mqtt://[USER@]HOST[:PORT] "
                      "or mqtts://[USER@]HOST[:PORT] (see docs/mqtt.md)")
          ->type_name("URL")
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
  if (watch) mqtt->needs(watch);
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
