#include "tools/serve/reader_routes.h"

#include "app/base/clock_text.h"
#include "app/reader/reader_info.h"
#include "app/reader/settings.h"
#include "tools/serve/api_error.h"
#include "tools/serve/json_body.h"

namespace velkor::serve {

void check(const app::Status &done) {
  if (!done) throw api_error(done.error());
}

namespace {

// What a PATCH asks for, checked before the reader is asked anything.
struct SettingsChange {
  std::optional<long long> power, region, lowest, highest, scan_time_ms;
  std::optional<bool> beep;
  std::optional<app::ClockBlock> clock;
};

SettingsChange settings_change(const Request &request) {
  const nlohmann::json body = json_object_body(request);
  only_fields(body, {"power_dbm", "region", "lowest_channel", "highest_channel", "beep",
                     "scan_time_ms", "clock"});
  if (body.empty()) throw ApiError(Refusal::kBadInput, "name at least one setting to change");
  SettingsChange c;
  c.power = integer_field(body, "power_dbm", 0, 33);
  c.region = integer_field(body, "region", 0, 255);
  c.lowest = integer_field(body, "lowest_channel", 0, 255);
  c.highest = integer_field(body, "highest_channel", 0, 255);
  c.beep = bool_field(body, "beep");
  c.scan_time_ms = integer_field(body, "scan_time_ms", 0, 25500);
  if (c.scan_time_ms && *c.scan_time_ms % 100 != 0)
    throw ApiError(Refusal::kBadInput, "scan_time_ms: must be a multiple of 100");
  if (const auto text = string_field(body, "clock")) {
    c.clock = app::parse_clock(*text);
    if (!c.clock)
      throw ApiError(Refusal::kBadInput,
                     "clock: must be \"now\" or a date YYYY-MM-DDThh:mm:ss from 2000 to 2099");
  }
  return c;
}

nlohmann::json fresh_document(app::Session &s) {
  app::Result<nlohmann::json> doc = read_reader_document(s);
  if (!doc) throw api_error(doc.error());
  return *doc;
}

void add_reader_document_routes(Router &router, ReaderRegistry &readers) {
  router.add("GET", "/api/v1/readers",
             [&readers](const RouteCall &) { return json_response(readers.readers()); });
  router.add("GET", "/api/v1/readers/{id}", [&readers](const RouteCall &call) {
    const std::string id = call.params.at("id");
    const std::shared_ptr<ReaderWorker> worker = readers.worker(id);
    if (!worker) return no_reader(id);
    // A lost reader answers with what was known of it.
    if (worker->state() == ReaderState::kLost) return json_response(worker->document());
    ReaderWorker *w = worker.get();
    return on_reader(readers, id, [w](app::Session &s) {
      w->set_document(fresh_document(s));
      return json_response(w->document());
    });
  });
}

}  // namespace

void add_reader_routes(Router &router, ReaderRegistry &readers) {
  add_reader_document_routes(router, readers);
  router.add("PATCH", "/api/v1/readers/{id}/settings", [&readers](const RouteCall &call) {
    const SettingsChange c = settings_change(call.request);
    const std::string id = call.params.at("id");
    const std::shared_ptr<ReaderWorker> worker = readers.worker(id);
    if (!worker) return no_reader(id);
    ReaderWorker *w = worker.get();
    return on_reader(readers, id, [w, c](app::Session &s) {
      if (c.power) check(app::set_power(s, int(*c.power)));
      if (c.region || c.lowest || c.highest) {
        int region = 0;
        if (c.region) {
          region = int(*c.region);
        } else {
          const app::Result<app::ReaderInfo> info = app::read_info(s);
          if (!info) throw api_error(info.error());
          region = info->region.region;
        }
        const auto channel = [](const std::optional<long long> &n) {
          return n ? std::optional<int>(int(*n)) : std::nullopt;
        };
        check(app::set_region(s, region, channel(c.lowest), channel(c.highest)));
      }
      if (c.beep) check(app::set_beep(s, *c.beep ? 1 : 0));
      if (c.scan_time_ms) check(app::set_scan_time(s, int(*c.scan_time_ms / 100)));
      if (c.clock) check(app::set_clock(s, *c.clock));
      w->set_document(fresh_document(s));
      return json_response(w->document()["settings"]);
    });
  });
}

}  // namespace velkor::serve
