// The API's reader routes, each a translation of a request into the core's
// calls on the reader's worker: the readers and their settings
// (reader_routes.cpp), inventories and tag memory (tag_routes.cpp), watches
// (watch_routes.cpp) and commissioning jobs (job_routes.cpp).
#ifndef VELKOR_SERVE_READER_ROUTES_H
#define VELKOR_SERVE_READER_ROUTES_H

#include <memory>
#include <optional>

#include "app/mqtt/publisher.h"
#include "tools/serve/reader_registry.h"
#include "tools/serve/router.h"

namespace velkor::serve {

class CommissionJobs;

/// GET /api/v1/readers, GET /api/v1/readers/{id}, PATCH .../settings.
void add_reader_routes(Router &router, ReaderRegistry &readers);
/// POST .../inventory; GET and PUT .../tags/{epc}/{bank}; POST .../lock, .../kill.
void add_tag_routes(Router &router, ReaderRegistry &readers);
/// POST and DELETE .../watch; with mqtt, each watch is published there too.
void add_watch_routes(Router &router, ReaderRegistry &readers,
                      std::optional<app::mqtt::Settings> mqtt);
/// POST .../commission; GET and DELETE /api/v1/jobs/{job}; POST .../{job}/resume.
void add_job_routes(Router &router, ReaderRegistry &readers, CommissionJobs &jobs);

/// Ends a call with the core's failure as its ApiError, when it failed.
void check(const app::Status &done);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_READER_ROUTES_H
