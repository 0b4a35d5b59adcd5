#include "tools/serve/serve_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/events/document.h"
#include "tools/cli/publish/mqtt_options.h"
#include "tools/serve/access_token.h"
#include "tools/serve/commission_jobs.h"
#include "tools/serve/event_hub.h"
#include "tools/serve/http_server.h"
#include "tools/serve/listen_address.h"
#include "tools/serve/reader_routes.h"
#include "tools/serve/request_handler.h"

namespace velkor::serve {

namespace {

struct ServeOptions {
  std::string listen = "127.0.0.1:8780";
  std::string token_file;
  std::string tls_cert;
  std::string tls_key;
  std::vector<std::string> allowed_origins;
  tool::MqttOptions mqtt;
  std::string state_dir;
};

int serve(const tool::Cli &cli, const ServeOptions &o) {
  std::string error;
  const std::optional<ListenAddress> listen = parse_listen_address(o.listen, &error);
  if (!listen) {
    tool::complain("serve: --listen: %s", error.c_str());
    return tool::kExitUsage;
  }
  std::optional<TlsFiles> tls;
  if (!o.tls_cert.empty()) tls = TlsFiles{o.tls_cert, o.tls_key};
  try {
    const std::string token = o.token_file.empty() ? make_token() : read_token_file(o.token_file);
    const SteadyClock clock = [] { return std::chrono::steady_clock::now(); };
    EventHub hub(HubLimits{}, clock);
    std::optional<app::mqtt::Settings> mqtt;
    if (o.mqtt.wanted()) {
      app::Result<app::mqtt::Settings> settings = o.mqtt.settings();
      if (!settings) {
        tool::complain("serve: %s", settings.error().message().c_str());
        return tool::kExitUsage;
      }
      mqtt = *settings;
    }
    // Every reader attached, unless the options name one.
    ReaderRegistry readers(
        [&hub](const app::events::Event &e) { hub.publish(e.name, e.text()); });
    const bool every = cli.app.get_option("--device")->count() == 0;
    if (const app::Status opened = readers.open(cli.global, every); !opened) {
      if (!every || opened.error().kind != app::ErrorKind::kNotFound) {
        tool::complain("serve: %s", opened.error().message().c_str());
        return tool::exit_code(opened.error());
      }
      tool::complain("serve: no reader is attached yet");
    }
    readers.start_rescans(2000);
    CommissionJobs jobs(o.state_dir.empty() ? default_state_dir() : o.state_dir, readers);
    HttpServer server(listen->host, listen->port, tls, ServerLimits{}, hub, clock);
    // The workers stop (their jobs with them, their last answers handed to
    // the server) before the server and the jobs' table go.
    struct StopWorkers {
      ReaderRegistry &readers;
      ~StopWorkers() { readers.close(); }
    } stop_workers{readers};
    jobs.resume();
    const std::string host = server.address().find(':') != std::string::npos
                                 ? "[" + server.address() + "]"
                                 : server.address();
    const std::string base = std::string(tls ? "https://" : "http://") + host + ":" +
                             std::to_string(server.port()) + "/";
    if (!server.loopback() && !tls)
      tool::complain("serve: warning: %s is reachable from the network without TLS: the token "
                     "and every reply cross it in clear text (see --tls-cert)",
                     base.c_str());
    // The token is printed once, here, and never written anywhere else.
    if (o.token_file.empty())
      std::printf("velkor serve: the console is at %s?token=%s\n", base.c_str(), token.c_str());
    else
      std::printf("velkor serve: the console is at %s (log in with the token in %s)\n",
                  base.c_str(), o.token_file.c_str());
    std::fflush(stdout);
    RequestHandler handler(AccessPolicy(AccessSettings{token, server.address(), server.port(),
                                                       server.loopback(), tls.has_value(),
                                                       o.allowed_origins}),
                           [&readers, &mqtt, &jobs](Router &router) {
                             add_reader_routes(router, readers);
                             add_tag_routes(router, readers);
                             add_watch_routes(router, readers, mqtt);
                             add_job_routes(router, readers, jobs);
                           });
    server.run([&handler](const Request &request) { return handler(request); }, true);
  } catch (const std::exception &e) {
    tool::complain("serve: %s", e.what());
    return tool::kExitUsage;
  }
  std::printf("velkor serve: stopped\n");
  return tool::kExitOk;
}

}  // namespace

void add_serve_command(tool::Cli &cli) {
  auto o = std::make_shared<ServeOptions>();
  CLI::App *app = cli.app.add_subcommand(
      "serve", "serve the REST API and the web console over HTTP, with a token for every call");
  app->add_option("--listen", o->listen,
                  "the address and port to listen on (default 127.0.0.1:8780; port 0: any free "
                  "one); another than loopback wants --tls-cert")
      ->check(CLI::Validator(
          [](std::string &text) {
            std::string error;
            return parse_listen_address(text, &error) ? std::string() : error;
          },
          ""))
      ->type_name("HOST:PORT");
  app->add_option("--token-file", o->token_file,
                  "read the token from FILE instead of making one at start")
      ->check(CLI::ExistingFile)
      ->type_name("FILE");
  CLI::Option *cert = app->add_option("--tls-cert", o->tls_cert,
                                      "serve HTTPS with this PEM certificate (chain); needs "
                                      "--tls-key")
                          ->check(CLI::ExistingFile)
                          ->type_name("FILE");
  CLI::Option *key = app->add_option("--tls-key", o->tls_key,
                                     "the PEM private key of --tls-cert")
                         ->check(CLI::ExistingFile)
                         ->type_name("FILE");
  cert->needs(key);
  key->needs(cert);
  app->add_option("--allow-origin", o->allowed_origins,
                  "let pages from ORIGIN (https://host:port) call the API and change things; "
                  "repeatable")
      ->check(CLI::Validator(
          [](std::string &text) {
            return is_origin(text) ? std::string()
                                   : "'" + text + "' is not an origin (https://host:port)";
          },
          ""))
      ->type_name("ORIGIN");
  app->add_option("--state-dir", o->state_dir,
                  "keep the commissioning jobs and their journals in DIR (default "
                  "$XDG_STATE_HOME/velkor/serve); a job the server's stop cut short resumes at "
                  "its next start")
      ->type_name("DIR");
  o->mqtt.add_to(app, nullptr);
  app->callback([&cli, o] { cli.exit_code = serve(cli, *o); });
}

}  // namespace velkor::serve
