#include "tools/cli.h"

#include <cstdio>

#include "tools/status_text.h"

namespace velkor::tool {

void Cli::run(const std::function<int(Session &)> &body) {
  std::string error;
  std::unique_ptr<Session> session = Session::open(global, &error);
  if (!session) {
    std::fprintf(stderr, "velkor: %s\n", error.c_str());
    exit_code = kExitUsage;
    return;
  }
  exit_code = body(*session);
}

int check(const char *what, int status, int tag_error) {
  if (status == STATUS_OK) return kExitOk;
  std::fprintf(stderr, "velkor: %s failed: %s\n", what, describe(status, tag_error).c_str());
  return kExitFailed;
}

}  // namespace velkor::tool
