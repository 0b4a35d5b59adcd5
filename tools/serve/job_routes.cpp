#include "tools/serve/api_error.h"
#include "tools/serve/commission_jobs.h"
#include "tools/serve/json_body.h"
#include "tools/serve/reader_routes.h"

namespace velkor::serve {

void add_job_routes(Router &router, ReaderRegistry &readers, CommissionJobs &jobs) {
  router.add("POST", "/api/v1/readers/{id}/commission", [&readers, &jobs](const RouteCall &call) {
    auto request =
        std::make_shared<CommissionRequest>(commission_request(json_object_body(call.request)));
    const std::string id = call.params.at("id");
    if (!readers.worker(id)) return no_reader(id);
    Response response;
    response.later = [&jobs, id, request](Completion done) {
      jobs.start(id, std::move(*request), std::move(done));
    };
    return response;
  });
  router.add("GET", "/api/v1/jobs/{job}", [&jobs](const RouteCall &call) {
    const std::string &id = call.params.at("job");
    const std::optional<nlohmann::json> job = jobs.job(id);
    if (!job) throw ApiError(Refusal::kNotFound, "no job " + id);
    return json_response(*job);
  });
  router.add("DELETE", "/api/v1/jobs/{job}", [&jobs](const RouteCall &call) {
    const std::string id = call.params.at("job");
    Response response;
    response.later = [&jobs, id](Completion done) { jobs.stop(id, std::move(done)); };
    return response;
  });
  router.add("POST", "/api/v1/jobs/{job}/resume", [&jobs](const RouteCall &call) {
    const std::string id = call.params.at("job");
    Response response;
    response.later = [&jobs, id](Completion done) { jobs.resume(id, std::move(done)); };
    return response;
  });
}

}  // namespace velkor::serve
