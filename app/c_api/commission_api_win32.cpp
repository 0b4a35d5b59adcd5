// The C API's commissioning in the Windows build: the write-ahead journal and
// plan files sit on the POSIX durable-file helper, which this build leaves
// out, so the entry point says so and changes nothing.
#include "app/c_api/convert.h"

using namespace velkor::app::c_api;

extern "C" {

int velkor_app_commission(velkor_app_session *, const velkor_app_commission_options *,
                          const velkor_app_callbacks *, velkor_app_stop *,
                          velkor_app_commission_summary *summary, velkor_app_error *error) {
  if (summary) *summary = velkor_app_commission_summary{};
  return bad_argument("commission", "commissioning is not available in the Windows build", error);
}

}  // extern "C"
